#pragma once

#include "ssu/fleetquery.h"

#include <QWidget>

class DatabaseThread;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class SsuSession;

// The fleet as the maker's quality department compares it: every module
// counted once by its latest stored report, grouped by firmware version or
// release date, two groups side by side. The summary is read on a database
// thread of its own over a connection of its own, so the window stays
// responsive while the server works through the table; closing the window
// abandons a read under way (DatabaseThread's bound).
class FleetWindow : public QWidget
{
    Q_OBJECT
public:
    explicit FleetWindow(SsuSession *session, QWidget *parent = nullptr);
    ~FleetWindow() override;

    // The summary last read; not ok before the first read returns.
    const Attempt<FleetSummary> &summary() const { return m_summary; }
    bool isReading() const { return m_reading; }

public slots:
    // Reads the summary again under the grouping chosen; a request during a
    // read is served when that read returns.
    void refresh();

signals:
    // A read returned and the window shows its outcome.
    void summaryShown();

protected:
    void changeEvent(QEvent *event) override;

private:
    enum class Status { Idle, Reading, Read, Failed };

    FleetGrouping chosenGrouping() const;
    void retranslate();
    void showSummary(const Attempt<FleetSummary> &summary);
    void fillGroupChoices();
    void showGroups();
    void showStatus();
    void exportCsv();
    QString groupName(const QString &key) const;

    SsuSession *const m_session;
    Attempt<FleetSummary> m_summary;
    Status m_status = Status::Idle;
    bool m_readAgain = false;
    bool m_reading = false;
    DatabaseThread *m_database = nullptr;
    QString m_connection;

    QComboBox *m_grouping = nullptr;
    QComboBox *m_groupA = nullptr;
    QComboBox *m_groupB = nullptr;
    QLabel *m_groupingLabel = nullptr;
    QLabel *m_groupALabel = nullptr;
    QLabel *m_groupBLabel = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_statusLabel = nullptr;
    QPushButton *m_refresh = nullptr;
    QPushButton *m_export = nullptr;
};
