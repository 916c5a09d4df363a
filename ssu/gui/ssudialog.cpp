#include "ssu/gui/ssudialog.h"
#include "ssu/gui/modulehistorywindow.h"
#include "ui_ssudialog.h"

#include "protocol/language.h"
#include "protocol/programidentity.h"
#include "ssu/gui/mdelegatedate.h"
#include "ssu/gui/mdelegatedatetime.h"
#include "ssu/mysqlquerymodel.h"

#include <QCoreApplication>
#include <QDate>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>

namespace {
const char *const dateEditFormat = "dd.MM.yyyy";

// Rows the column widths are measured on; the rest of a long listing is
// never read just for that.
constexpr int MeasuredRows = 100;
} // namespace

SSUDialog::SSUDialog(QWidget *parent)
    : SSUDialog(nullptr, parent)
{
}

SSUDialog::SSUDialog(SsuSession *shared, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::SSUDialog)
    , session(shared ? shared : new SsuSession(this))
{
    ui->setupUi(this);
    // The four filters stacked with the style's full spacing need more
    // height than a 1024×768 screen has; tighter inside the group boxes,
    // the form keeps its order and fits.
    for (QGroupBox *box : {ui->groupBox_SN, ui->groupBox_SNrange, ui->groupBox_Date, ui->groupBox_Release,
                           ui->groupBox_Report}) {
        box->layout()->setContentsMargins(6, 2, 6, 2);
        box->layout()->setSpacing(2);
    }
    for (QDateEdit *edit : {ui->dateEdit_min, ui->dateEdit_max, ui->dateEdit_RELmin, ui->dateEdit_RELmax})
        edit->setDisplayFormat(QString::fromLatin1(dateEditFormat));

    delegateDate = new mDelegateDate(this);
    delegateDateTime = new mDelegateDateTime(this);
    ui->tableView->setItemDelegateForColumn(1, delegateDateTime);
    ui->tableView->setItemDelegateForColumn(2, delegateDate);
    // Rows keep the order of the statement until the user clicks a header;
    // the header's own default would sort by serial number, descending.
    ui->tableView->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);

    updateReportActions();

    setWindowTitle(tr("Система статистического учёта RVK"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    connect(ui->tableView, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(openReport(QModelIndex)));
    connect(ui->tableView, SIGNAL(clicked(QModelIndex)), this, SLOT(slotSetModelIndex(QModelIndex)));
    connect(session, &SsuSession::signalIndicator, this, &SSUDialog::signalIndicator);
    connect(session, &SsuSession::signalWaitDialog, this, &SSUDialog::signalWaitDialog);
    connect(session, &SsuSession::passwordReceived, this, &SSUDialog::createModel);
    // Only the rows change; the view keeps its set-up. A hidden dialog reads
    // nothing: the listing is read when the dialog is shown.
    connect(session, &SsuSession::reportUploaded, this, [this] { listAllReports(!isVisible()); });

    selectedIndex = ui->tableView->currentIndex();
}

SSUDialog::~SSUDialog()
{
    delete ui;
}

void SSUDialog::setLanguage(uchar code)
{
    if (code > 1)
        return;
    language = code;
    for (ModuleHistoryWindow *history : findChildren<ModuleHistoryWindow *>())
        history->setLanguage(code);
    // The application's one translator; a dialog used on its own switches it.
    Language::install(code == 1 ? Language::english() : Language::russian());
    retranslate();
}

void SSUDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && ui)
        retranslate();
    QDialog::changeEvent(event);
}

void SSUDialog::retranslate()
{
    ui->retranslateUi(this);
    for (QDateEdit *edit : {ui->dateEdit_min, ui->dateEdit_max, ui->dateEdit_RELmin, ui->dateEdit_RELmax})
        edit->setLocale(language == 1 ? QLocale(QLocale::English) : QLocale(QLocale::Russian));

    setWindowTitle(tr("Система статистического учёта RVK"));
    columnHeaders = tr("Серийный номер,Дата отчёта,Изготовлен,Версия ПО,Наработка,Межремонтная").split(QLatin1Char(','));
    if (MySqlQueryModel *model = session->model()) {
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
    MySqlQueryModel *model = session->model();
    if (model && view->model() != model) {
        view->setModel(model);
        // The report is remembered as its row becomes current (click,
        // double-click or keyboard), while the row's window is at hand.
        connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &SSUDialog::rememberCurrentReport);
        connect(model, &MySqlQueryModel::lengthChanged, this, &SSUDialog::showListLength, Qt::UniqueConnection);
        connect(model, &QAbstractItemModel::dataChanged, this, &SSUDialog::takeArrivedRows, Qt::UniqueConnection);
        // A new listing or order: the rows the view showed are gone, and so
        // is the report that was current.
        connect(model, &QAbstractItemModel::modelReset, this, &SSUDialog::forgetCurrentReport);
    }
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
    rememberCurrentReport(selectedIndex);
    showListLength();
}

void SSUDialog::showListLength()
{
    const MySqlQueryModel *model = session->model();
    if (!model || model->isDeferred()) {
        ui->label_RowCount->clear();
        return;
    }
    if (model->isLoading())
        ui->label_RowCount->setText(tr("Отчёты читаются из ССУ..."));
    else if (model->readFailed())
        ui->label_RowCount->setText(tr("ССУ не ответила: список отчётов не прочитан."));
    else if (model->isCounting())
        ui->label_RowCount->setText(tr("Отчётов: %1, подсчёт...").arg(model->rowCount()));
    else if (!model->isTotalKnown())
        ui->label_RowCount->setText(tr("Отчётов: не менее %1 (всего пока не известно)").arg(model->rowCount()));
    else
        ui->label_RowCount->setText(tr("Отчётов: %1").arg(model->rowCount()));
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
    const MySqlQueryModel *model = session->model();
    if (model && model->rowCount() > 0)
        rows->setDefaultSectionSize(static_cast<QAbstractItemView *>(view)->sizeHintForRow(0));
}

void SSUDialog::createModel()
{
    session->createModel();
    // At start-up the dialog is hidden: the listing is read when it is shown.
    listAllReports(!isVisible());
    setupTableView();
}

void SSUDialog::setFetchWindowSize(int rows)
{
    session->setFetchWindowSize(rows);
}

void SSUDialog::listAllReports(bool deferred)
{
    session->listAllReports(deferred);
}

void SSUDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    MySqlQueryModel *model = session->model();
    if (model && model->isDeferred()) {
        model->load();
        fitRowsAndColumns();
        selectedIndex = ui->tableView->currentIndex();
        rememberCurrentReport(selectedIndex);
        showListLength();
    }
}

void SSUDialog::searchBySerialNumber()
{
    on_pushButton_SN_clicked();
}

void SSUDialog::on_pushButton_SN_clicked()
{
    const int serialNumber = ui->spinBox_SN->value();
    // The service access code entered as a serial number unlocks deleting.
    if (serialNumber == ProgramIdentity::ServiceAccessCode) {
        deleteUnlocked = true;
        updateReportActions();
        return;
    }
    if (session->searchSerialNumber(serialNumber))
        setupTableView();
}

void SSUDialog::on_pushButton_SNrange_clicked()
{
    if (session->searchSerialRange(ui->spinBox_SNmin->value(), ui->spinBox_SNmax->value()))
        setupTableView();
}

void SSUDialog::on_pushButton_DATErange_clicked()
{
    if (session->searchReportDates(ui->dateEdit_min->date(), ui->dateEdit_max->date()))
        setupTableView();
}

void SSUDialog::on_pushButton_RELrange_clicked()
{
    if (session->searchReleaseDates(ui->dateEdit_RELmin->date(), ui->dateEdit_RELmax->date()))
        setupTableView();
}

void SSUDialog::slotSetModelIndex(const QModelIndex &index)
{
    selectedIndex = index;
}

void SSUDialog::refreshAllReports()
{
    if (!session->model())
        return;
    listAllReports(false);
    setupTableView();
}
