#pragma once

#include <QDateTime>
#include <QVector>
#include <QWidget>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QwtPlot;
class TrendCurveData;
class TrendSeries;

// Charts of the sensor readings over time: one plot per group of related
// quantities, each line one sensor name of the monitor text. It follows the
// monitor's completed blocks over a rolling span, or shows a saved monitor
// log whole.
class TrendsWindow : public QWidget
{
    Q_OBJECT
public:
    // The spans the user can choose between, in minutes; the live history
    // is kept for the widest.
    static const QVector<int> &spanMinutesChoices();
    // Room for the widest span at twice the module's usual ten blocks a
    // second; beyond that the oldest points go first.
    static constexpr int liveBlocksPerSecond = 20;

    explicit TrendsWindow(QWidget *parent = nullptr);
    ~TrendsWindow() override;

    // One completed block of monitor text, received at time.
    void addMonitorBlock(const QString &text, const QDateTime &time);

    // Shows a saved monitor log whole. A file that cannot be read whole is
    // refused with a message naming it and its line; the charts then keep
    // what they showed.
    bool openLog(const QString &path);
    // Writes the charts as a PNG image; says why when it cannot.
    bool savePng(const QString &path);

    // Whether the monitor runs: without it there is nothing to follow, and
    // the status says so.
    void setMonitorOn(bool on);
    bool isPaused() const { return m_paused; }
    bool isShowingLog() const { return m_log != nullptr; }
    int spanMinutes() const;
    void setSpanMinutes(int minutes);
    const TrendSeries &liveSeries() const { return *m_live; }
    // What the charts draw: the log when one is open, else the live history.
    const TrendSeries &shownSeries() const;
    // The time span on the charts' time axis, in milliseconds since the epoch.
    QPair<double, double> shownSpan() const;

public slots:
    void slotSetLanguage(uchar lang);
    void setPaused(bool paused);
    // Leaves a log and follows the monitor again.
    void showLive();
    // Redraws now with the newest points.
    void refresh();
    // What the redraw timer does while following the monitor: redraws when
    // new points have moved the span by at least one pixel column.
    void redrawIfChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void chooseLog();
    void chooseSavePath();

private:
    void buildCharts();
    void retranslate();
    void updateStatus();
    QString problemText(int problem, int line, const QString &systemError) const;

    std::unique_ptr<TrendSeries> m_live;
    std::unique_ptr<TrendSeries> m_log;
    QString m_logPath;
    int m_logBlocks = 0;
    bool m_paused = false;
    bool m_monitorOn = false;
    bool m_changed = false;
    QPair<double, double> m_span{0.0, 0.0};
    int m_utcOffset = -1; // seconds; -1 until the first redraw sets it

    QVector<QwtPlot *> m_plots;
    QVector<TrendCurveData *> m_curveData; // owned by their curves
    QWidget *m_chartArea = nullptr;
    QLabel *m_spanLabel = nullptr;
    QComboBox *m_spanBox = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QPushButton *m_liveButton = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QLabel *m_status = nullptr;
    QTimer *m_redrawTimer = nullptr;
};
