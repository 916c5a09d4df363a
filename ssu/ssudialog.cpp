#include "ssudialog.h"
#include "ui_ssudialog.h"

#include "deployment.h"
#include "mdelegatedate.h"
#include "mdelegatedatetime.h"
#include "mysqlquerymodel.h"

#include <QCoreApplication>
#include <QDate>
#include <QHeaderView>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QScrollBar>
#include <QShowEvent>
#include <QSqlDatabase>
#include <QStyle>

namespace {
const char *const connectionName = "RVKReport";
const char *const dateEditFormat = "dd.MM.yyyy";
// Entered as a serial number, it unlocks deleting stored reports.
constexpr int deleteAccessCode = 583146;

// Rows the column widths are measured on; the rest of a long listing is
// never read just for that.
constexpr int MeasuredRows = 100;
} // namespace

SSUDialog::SSUDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SSUDialog)
{
    ui->setupUi(this);
    for (QDateEdit *edit : {ui->dateEdit_min, ui->dateEdit_max, ui->dateEdit_RELmin, ui->dateEdit_RELmax})
        edit->setDisplayFormat(QString::fromLatin1(dateEditFormat));

    delegateDate = new mDelegateDate(this);
    delegateDateTime = new mDelegateDateTime(this);
    ui->tableView->setItemDelegateForColumn(1, delegateDateTime);
    ui->tableView->setItemDelegateForColumn(2, delegateDate);
    // Rows keep the order of the statement until the user clicks a header;
    // the header's own default would sort by serial number, descending.
    ui->tableView->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);

    ui->pushButton_Delete->setEnabled(false);

    setWindowTitle(tr("Система статистического учёта RVK"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    networkManager = new QNetworkAccessManager(this);
    downloadUrl = QUrl(QStringLiteral("http://") + QString::fromLatin1(Deployment::webServer)
                       + QStringLiteral("/downloads/ssu.pas"));

    connect(ui->tableView, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(openReport(QModelIndex)));
    connect(ui->tableView, SIGNAL(clicked(QModelIndex)), this, SLOT(slotSetModelIndex(QModelIndex)));
    connect(networkManager, SIGNAL(finished(QNetworkReply *)), this, SLOT(downloadFinished(QNetworkReply *)));

    selectedIndex = ui->tableView->currentIndex();
}

SSUDialog::~SSUDialog()
{
    delete ui;
}

void SSUDialog::setLanguage(uchar code)
{
    language = code;
    const QString translationFile = QCoreApplication::applicationDirPath() + QStringLiteral("/RVKReport_en_GB.qm");
    const QList<QDateEdit *> dateEdits{ui->dateEdit_min, ui->dateEdit_max, ui->dateEdit_RELmin, ui->dateEdit_RELmax};

    if (code == 0) {
        QCoreApplication::removeTranslator(&translator);
        ui->retranslateUi(this);
        for (QDateEdit *edit : dateEdits)
            edit->setLocale(QLocale(QLocale::Russian));
    } else if (code == 1) {
        if (translator.load(translationFile))
            QCoreApplication::installTranslator(&translator);
        ui->retranslateUi(this);
        for (QDateEdit *edit : dateEdits)
            edit->setLocale(QLocale(QLocale::English));
    }

    setWindowTitle(tr("Система статистического учёта RVK"));
    columnHeaders = tr("Серийный номер,Дата отчёта,Изготовлен,Версия ПО,Наработка,Межремонтная").split(QLatin1Char(','));
    if (model) {
        for (int i = 0; i < columnHeaders.size(); ++i)
            model->setHeaderData(i, Qt::Horizontal, columnHeaders.at(i), Qt::EditRole);
    }
    setupTableView();
}

void SSUDialog::setupTableView()
{
    if (!defaultDatesSet) {
        defaultDatesSet = true;
        const QDate yearStart = QDate::fromString(QStringLiteral("%1-01-01").arg(QDate::currentDate().year()),
                                                  QStringLiteral("yyyy-MM-dd"));
        const QDate tomorrow = QDate::currentDate().addDays(1);
        ui->dateEdit_min->setDate(yearStart);
        ui->dateEdit_RELmin->setDate(yearStart);
        ui->dateEdit_max->setDate(tomorrow);
        ui->dateEdit_RELmax->setDate(tomorrow);
        for (QDateEdit *edit : {ui->dateEdit_min, ui->dateEdit_max, ui->dateEdit_RELmin, ui->dateEdit_RELmax})
            edit->setDisplayFormat(QString::fromLatin1(dateEditFormat));
    }

    QTableView *view = ui->tableView;
    // The model sorts on the server, so the view talks to it directly.
    view->setModel(model);
    view->setSortingEnabled(true);

    view->horizontalHeader()->setDefaultAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    fitRowsAndColumns();

    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);

    view->setMinimumWidth(style()->pixelMetric(QStyle::PM_ScrollBarExtent) + view->verticalHeader()->width()
                          + view->horizontalHeader()->length() + 2);

    // A refresh replaces the rows, so an index clicked before it no longer
    // points at anything; keep only what the view still has as current.
    selectedIndex = view->currentIndex();
}

void SSUDialog::fitRowsAndColumns()
{
    QTableView *view = ui->tableView;
    view->horizontalHeader()->setResizeContentsPrecision(MeasuredRows);
    view->resizeColumnsToContents();
    // Every row shows one line of the same kind, so all take the first row's
    // height; measuring each would read the whole listing.
    QHeaderView *rows = view->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    if (model && model->rowCount() > 0)
        rows->setDefaultSectionSize(static_cast<QAbstractItemView *>(view)->sizeHintForRow(0));
}

void SSUDialog::createModel()
{
    if (!model) {
        model = new MySqlQueryModel(this);
        model->setWindowSize(fetchWindowSize);
    }
    // At start-up the dialog is hidden: the listing is read when it is shown.
    listAllReports(!isVisible());
    setupTableView();
}

void SSUDialog::setFetchWindowSize(int rows)
{
    fetchWindowSize = rows;
    if (model)
        model->setWindowSize(rows);
}

void SSUDialog::listAllReports(bool deferred)
{
    if (!model)
        return;
    // Not opened on demand: a search must not stall on an unreachable server;
    // a closed connection simply lists nothing.
    model->setSearch({QString(), QStringLiteral("sn")},
                     QSqlDatabase::database(QString::fromLatin1(connectionName), false), deferred);
}

void SSUDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (model && model->isDeferred()) {
        model->load();
        fitRowsAndColumns();
        selectedIndex = ui->tableView->currentIndex();
    }
}

void SSUDialog::searchBySerialNumber()
{
    on_pushButton_SN_clicked();
}

void SSUDialog::on_pushButton_SN_clicked()
{
    const int serialNumber = ui->spinBox_SN->value();
    if (serialNumber == deleteAccessCode) {
        ui->pushButton_Delete->setEnabled(true);
        return;
    }
    if (serialNumber == 0) {
        showSearch(QString(), QStringLiteral("sn"));
        return;
    }
    showSearch(QStringLiteral("sn = %1").arg(serialNumber), QStringLiteral("total_time"));
}

void SSUDialog::on_pushButton_SNrange_clicked()
{
    showSearch(QStringLiteral("sn BETWEEN %1 AND %2").arg(ui->spinBox_SNmin->value()).arg(ui->spinBox_SNmax->value()),
               QStringLiteral("sn"));
}

void SSUDialog::on_pushButton_DATErange_clicked()
{
    // Dates are compared with a DATETIME column: the upper bound is midnight
    // at the start of that day.
    showSearch(QStringLiteral("date BETWEEN '%1' AND '%2'")
                   .arg(ui->dateEdit_min->date().toString(QStringLiteral("yyyy-MM-dd")),
                        ui->dateEdit_max->date().toString(QStringLiteral("yyyy-MM-dd"))),
               QStringLiteral("date"));
}

void SSUDialog::on_pushButton_RELrange_clicked()
{
    showSearch(QStringLiteral("release_date BETWEEN '%1' AND '%2'")
                   .arg(ui->dateEdit_RELmin->date().toString(QStringLiteral("yyyy-MM-dd")),
                        ui->dateEdit_RELmax->date().toString(QStringLiteral("yyyy-MM-dd"))),
               QStringLiteral("release_date"));
}

void SSUDialog::slotSetModelIndex(const QModelIndex &index)
{
    selectedIndex = index;
}

// The searches' statements are "SELECT sn, date, release_date,
// firmware_version, total_time, repair_time FROM rvkreport WHERE <where>
// ORDER BY <order>"; the model adds the header's order and the window.
void SSUDialog::showSearch(const QString &where, const QString &order)
{
    if (!model)
        return;
    model->setSearch({where, order}, QSqlDatabase::database(QString::fromLatin1(connectionName), false));
    setupTableView();
}

void SSUDialog::refreshAllReports()
{
    if (!model)
        return;
    listAllReports(false);
    setupTableView();
}
