#pragma once

#include "protocol/frameclassification.h"
#include "protocol/readouttransfer.h"
#include "report/comparisondocument.h"
#include "station/adapterlink.h"
#include "station/answerwatch.h"
#include "station/readout.h"
#include "station/reportkeeper.h"
#include "station/reportstore.h"

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <functional>
#include <memory>

class FTDI;
class SsuSession;

// The service station without a face: the adapter link and its supervision,
// the report read-out with its document and storage, the module's commands
// and the monitor stream. The window and the command line show it and pass
// on what their user does; neither decodes a frame or talks to the driver or
// the database itself.
//
// Handlers of its signals may run a nested event loop (a message box): the
// station keeps no frame across an emission, so frames taken meanwhile are
// handled in order. The station itself never waits: storage, lookups and
// the log's naming come back as signals and callbacks.
class Station : public QObject
{
    Q_OBJECT
public:
    explicit Station(QObject *parent = nullptr);
    ~Station() override;

    AdapterLink *link() { return &adapterLink; }
    SsuSession *session() const { return ssu; }
    ReportStore *store() { return reportKeeper.store(); }
    ReportKeeper *keeper() { return &reportKeeper; }

    // --- the adapter and the link's supervision ---
    // The adapter chosen last (the native setting), or a name no interface
    // has, so that a lone interface is taken and among several the user picks.
    static QString rememberedAdapter();
    QString adapterDescription() const;
    // Reads the interfaces present (adaptersChanged()); an empty answer
    // leaves the list as it was.
    void refreshAdapters();
    // Opens the link on the remembered adapter and starts its supervision,
    // which checks it every period (StationTimings) and reconnects when it
    // is lost.
    bool openAtStart();
    // The user's choice: remembered, and connected at once.
    void chooseAdapter(const QString &description);
    // While paused (a notice at start is being read), no loss is reported.
    void setSupervisionPaused(bool paused) { supervisionPaused = paused; }
    // Until the link is up again, its loss is not reported again.
    void ignoreLinkLoss() { ignoringLoss = true; }
    QTimer *supervisionTimer() { return &supervision; }

    // --- the read-out ---
    // Asks the module for its report. A transfer still arriving answers
    // this request too (a user's request makes it a full one); false when
    // the link is down and nothing was sent.
    bool requestReport(bool silent = false);
    bool isReportArriving() const { return transfer.isArriving(); }
    // The last transfer that ended, and whether it brought a whole report:
    // only then do the factory value commands write.
    const Readout &lastReadout() const { return readout; }
    bool hasWholeReport() const { return wholeReport; }
    // The language of the documents made from now on (0 Russian, 1 English).
    void setDocumentLanguage(quint32 language) { reportKeeper.setDocumentLanguage(language); }
    // Off: whole reports go to the archive folder, not to the SSU.
    void setUploading(bool on) { reportKeeper.setUploading(on); }

    // --- commands ---
    enum class CommandResult { Sent, ReadReportFirst, LinkDown };
    // The factory values: serial number, release date (ddMMyyyy), impact
    // level. They write only over a whole report's values.
    CommandResult sendSetCommand(quint16 id, qint32 value);
    // Clearing the inter-repair counters or the whole memory, also only over
    // a whole report.
    CommandResult sendClearCommand(quint16 id);

    // --- monitor ---
    // Switches the module's text stream; false when the link is down.
    bool switchMonitor(bool on);
    // The log of monitor blocks in the working folder, named after the
    // module, whose serial number a silent read-out brings first: opened
    // once that read-out has ended or StationTimings::logNamingWaitMs have
    // passed, then done(opened, path).
    void openMonitorLog(QObject *context, std::function<void(bool, QString)> done);
    void closeMonitorLog();
    // Blocks go to an open log only while it is wanted.
    void setMonitorLogWanted(bool wanted) { logWanted = wanted; }

public slots:
    // Takes every frame that waits and acts on it.
    void dispatchPendingFrames();
    // The supervision's check, every period: a lost link is reported and
    // reconnected.
    void superviseLink();

signals:
    void linkStateChanged(bool up);
    // The link is down and not ignored; a reconnection follows the handler.
    void linkLost();
    void adaptersChanged(const QStringList &adapters, int current);

    void reportProgress(int percent);
    // Every transfer that ended, whole or not; for a whole report that was
    // asked for, the document and the storage follow.
    void reportCompleted(const Readout &readout);
    void documentWritten(const QString &path);
    // Beside every whole report's document: what changed since the module's
    // previous report (or that it has none), and where that came from.
    void compared(const ComparisonSummary &summary, const QString &path);
    void documentFailed(const QString &path, const QString &error);
    void reportStored(const ReportStore::Result &result);

    void commandAcknowledged(FrameKind kind);
    void moduleSilent(int framesReceived);
    void commandUnanswered(quint16 id);

    // Each monitor frame's text as it may be shown, and each complete block
    // with the one time the charts and the log give it.
    void monitorText(const QString &text);
    void monitorBlock(const QString &block, const QDateTime &time);

private:
    void dispatch(const CanMessage &message);
    void appendReportFrame(const CanMessage &message);
    void completeReadout();
    bool openLogFile(QString *path);
    void takeMonitorFrame(const CanMessage &message);
    void reconnect();
    void pulseAdapterLines();
    bool sendRemote(quint16 id, quint8 length);

    AdapterLink adapterLink;
    std::unique_ptr<FTDI> adapter;
    SsuSession *ssu = nullptr;
    ReportKeeper reportKeeper;
    AnswerWatch answerWatch;

    QTimer supervision;
    int logNamingWaitMs = 0;
    bool supervisionPaused = false;
    bool ignoringLoss = false;
    bool reconnecting = false;
    // Set once the user has chosen the adapter or the link has been up on
    // it: from then on a lone interface in the list no longer replaces it,
    // so an unplugged adapter is waited for rather than swapped.
    bool adapterSettled = false;
    // Counts the user's choices, so a reconnection can tell that one was
    // made while it waited.
    quint32 adapterChoices = 0;

    ReadoutTransfer transfer;
    QByteArray record;
    bool silentReadout = false;
    bool wholeReport = false;
    Readout readout;

    QString monitorChunk;
    QString monitorBlockText;
    QFile logFile;
    QTextStream logStream;
    bool logWanted = false;
};

Q_DECLARE_METATYPE(FrameKind)
Q_DECLARE_METATYPE(ComparisonSource)
