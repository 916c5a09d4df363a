#include "ssu/gui/fleetwindow.h"

#include "protocol/language.h"
#include "ssu/fleetfigures.h"
#include "ssu/driver/databasethread.h"
#include "ssu/driver/ssuconnection.h"
#include "ssu/gui/plainmessagebox.h"
#include "ssu/ssusession.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

FleetWindow::FleetWindow(SsuSession *session, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_database(new DatabaseThread(this))
    , m_connection(QStringLiteral("fleet-%1").arg(quintptr(this), 0, 16))
{
    const QString name = m_connection;
    m_database->atEnd([name] { SsuConnection::remove(name); });
    setObjectName(QStringLiteral("FleetWindow"));
    m_grouping = new QComboBox(this);
    m_grouping->setObjectName(QStringLiteral("comboBox_Grouping"));
    m_grouping->addItems({QString(), QString(), QString()});
    m_groupA = new QComboBox(this);
    m_groupA->setObjectName(QStringLiteral("comboBox_GroupA"));
    m_groupB = new QComboBox(this);
    m_groupB->setObjectName(QStringLiteral("comboBox_GroupB"));
    m_groupingLabel = new QLabel(this);
    m_groupALabel = new QLabel(this);
    m_groupBLabel = new QLabel(this);
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("tableWidget_Fleet"));
    m_table->setColumnCount(2);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("label_Status"));
    // It shows the server's and the driver's error texts.
    m_statusLabel->setTextFormat(Qt::PlainText);
    m_refresh = new QPushButton(this);
    m_refresh->setObjectName(QStringLiteral("pushButton_Refresh"));
    m_export = new QPushButton(this);
    m_export->setObjectName(QStringLiteral("pushButton_ExportCsv"));
    m_export->setEnabled(false);

    auto *choices = new QGridLayout;
    choices->addWidget(m_groupingLabel, 0, 0);
    choices->addWidget(m_grouping, 0, 1, 1, 3);
    choices->addWidget(m_groupALabel, 1, 0);
    choices->addWidget(m_groupA, 1, 1);
    choices->addWidget(m_groupBLabel, 1, 2);
    choices->addWidget(m_groupB, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_statusLabel, 1);
    buttons->addWidget(m_refresh);
    buttons->addWidget(m_export);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);

    connect(m_grouping, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FleetWindow::refresh);
    connect(m_groupA, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FleetWindow::showGroups);
    connect(m_groupB, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &FleetWindow::showGroups);
    connect(m_refresh, &QPushButton::clicked, this, &FleetWindow::refresh);
    connect(m_export, &QPushButton::clicked, this, &FleetWindow::exportCsv);
    retranslate();
    resize(640, 720);
    // Once the window's owner has finished setting it up.
    QTimer::singleShot(0, this, &FleetWindow::refresh);
}

FleetWindow::~FleetWindow() = default;

FleetGrouping FleetWindow::chosenGrouping() const
{
    return static_cast<FleetGrouping>(qMax(0, m_grouping->currentIndex()));
}

void FleetWindow::refresh()
{
    if (m_reading) {
        m_readAgain = true;
        return;
    }
    m_readAgain = false;
    m_reading = true;
    const SsuTarget target = m_session ? m_session->databaseTarget() : SsuTarget();
    const FleetGrouping grouping = chosenGrouping();
    const QString name = m_connection;
    m_database->post<Attempt<FleetSummary>>(
        [name, target, grouping] {
            // A fresh connection each time: the password or the hosts may
            // have changed since the last read.
            const QSqlDatabase db = SsuConnection::open(name, target);
            return readFleet(db, grouping);
        },
        this,
        [this](const Attempt<FleetSummary> &summary) {
            m_reading = false;
            if (m_readAgain) {
                refresh();
                return;
            }
            showSummary(summary);
        });
    m_status = Status::Reading;
    showStatus();
}

void FleetWindow::showSummary(const Attempt<FleetSummary> &summary)
{
    m_summary = summary;
    m_status = summary.ok ? Status::Read : Status::Failed;
    fillGroupChoices();
    m_export->setEnabled(summary.ok && !summary.value.groups.isEmpty());
    showStatus();
    emit summaryShown();
}

QString FleetWindow::groupName(const QString &key) const
{
    return key.isEmpty() ? tr("неизвестно") : key;
}

// The groups chosen before stay chosen where the new summary has them;
// otherwise the first two are compared.
void FleetWindow::fillGroupChoices()
{
    const QString keyA = m_groupA->currentData().toString();
    const QString keyB = m_groupB->currentData().toString();
    const bool hadChoice = m_groupA->count() > 0;
    const QSignalBlocker blockA(m_groupA);
    const QSignalBlocker blockB(m_groupB);
    m_groupA->clear();
    m_groupB->clear();
    for (const FleetGroup &group : m_summary.value.groups) {
        m_groupA->addItem(groupName(group.key), group.key);
        m_groupB->addItem(groupName(group.key), group.key);
    }
    const int foundA = hadChoice ? m_groupA->findData(keyA) : -1;
    const int foundB = hadChoice ? m_groupB->findData(keyB) : -1;
    m_groupA->setCurrentIndex(foundA >= 0 ? foundA : 0);
    m_groupB->setCurrentIndex(foundB >= 0 ? foundB : qMin(1, m_groupB->count() - 1));
    showGroups();
}

void FleetWindow::showGroups()
{
    const QStringList names = FleetFigures::names(Language::code(Language::installed()));
    m_table->setRowCount(names.size());
    m_table->setVerticalHeaderLabels(names);
    const QComboBox *choices[] = {m_groupA, m_groupB};
    QStringList headers;
    for (int column = 0; column < 2; ++column) {
        const int index = choices[column]->currentIndex();
        const bool shown = index >= 0 && index < m_summary.value.groups.size();
        headers << (shown ? groupName(m_summary.value.groups.at(index).key) : QString());
        const QStringList values = shown ? FleetFigures::values(m_summary.value.groups.at(index), locale()) : QStringList();
        for (int row = 0; row < names.size(); ++row) {
            auto *item = new QTableWidgetItem(values.value(row));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    m_table->setHorizontalHeaderLabels(headers);
}

void FleetWindow::showStatus()
{
    switch (m_status) {
    case Status::Idle:
        m_statusLabel->clear();
        break;
    case Status::Reading:
        m_statusLabel->setText(tr("Чтение…"));
        break;
    case Status::Read:
        m_statusLabel->setText(tr("Прочитано в %1").arg(m_summary.value.readAt.toString(QStringLiteral("HH:mm"))));
        break;
    case Status::Failed:
        m_statusLabel->setText(m_summary.error);
        break;
    }
}

void FleetWindow::exportCsv()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Сохранить сводку по парку"), QString(),
                                                      tr("Файлы CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !writeFleetCsv(m_summary.value, &file))
        PlainMessageBox::warning(this, tr("Сводка по парку"),
                                 tr("Не удалось записать файл %1: %2").arg(path, file.errorString()));
}

void FleetWindow::retranslate()
{
    setWindowTitle(tr("Парк модулей"));
    m_grouping->setItemText(0, tr("По версии прошивки"));
    m_grouping->setItemText(1, tr("По месяцу выпуска"));
    m_grouping->setItemText(2, tr("По году выпуска"));
    m_groupingLabel->setText(tr("Группировка:"));
    m_groupALabel->setText(tr("Группа А:"));
    m_groupBLabel->setText(tr("Группа Б:"));
    m_refresh->setText(tr("Обновить"));
    m_export->setText(tr("Выгрузить в CSV…"));
    for (int i = 0; i < m_summary.value.groups.size() && i < m_groupA->count(); ++i) {
        m_groupA->setItemText(i, groupName(m_summary.value.groups.at(i).key));
        m_groupB->setItemText(i, groupName(m_summary.value.groups.at(i).key));
    }
    showGroups();
    showStatus();
}

void FleetWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
