#pragma once

#include "protocol/frameclassification.h"
#include "protocol/readouttransfer.h"
#include "report/comparisondocument.h"
#include "station/answerwatch.h"
#include "station/linksupervisor.h"
#include "station/monitorstream.h"
#include "station/readout.h"
#include "station/reportkeeper.h"
#include "station/reportstore.h"

#include <QObject>
#include <functional>

class SsuSession;

// The service station without a face. It owns three services, which the
// window and the command line connect to directly: the adapter's link and
// its supervision (LinkSupervisor), what becomes of every whole report
// (ReportKeeper) and the module's debug text (MonitorStream). The station
// itself takes the frames, assembles the read-out and sends the commands;
// neither face decodes a frame or talks to the driver or the database.
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

    LinkSupervisor *supervisor() { return &linkSupervisor; }
    AdapterLink *link() { return linkSupervisor.link(); }
    ReportKeeper *keeper() { return &reportKeeper; }
    MonitorStream *monitor() { return &monitorStream; }
    ReportStore *store() { return reportKeeper.store(); }
    SsuSession *session() const { return ssu; }

    // Asks the module for its report. A transfer still arriving answers
    // this request too (a user's request makes it a full one); false when
    // the link is down and nothing was sent.
    bool requestReport(bool silent = false);
    bool isReportArriving() const { return transfer.isArriving(); }
    // The last transfer that ended; only after a whole report do the
    // commands write (checkCommand()).
    const Readout &lastReadout() const { return readout; }

    enum class CommandResult { Sent, ReadReportFirst, LinkDown };
    // Whether the values at hand allow a command (Sent) or a whole report
    // must be read first; the link is checked only when one is sent. A wipe
    // is asked about only when it is allowed.
    CommandResult checkCommand() const;
    // The factory values: serial number, release date (ddMMyyyy), impact
    // level. They write only over a whole report's values.
    CommandResult sendSetCommand(quint16 id, qint32 value);
    // Clearing the inter-repair counters or the whole memory, also only over
    // a whole report.
    CommandResult sendClearCommand(quint16 id);

    // Switches the module's text stream; false when the link is down.
    bool switchMonitor(bool on);
    // The log of monitor blocks, named after the module, whose serial number
    // a silent read-out brings first: opened once that read-out has ended or
    // StationTimings::logNamingWaitMs have passed, then done(opened, path).
    void openMonitorLog(QObject *context, std::function<void(bool, QString)> done);

public slots:
    // Takes every frame that waits and acts on it.
    void dispatchPendingFrames();

signals:
    void reportProgress(int percent);
    // Every transfer that ended, whole or not; for a whole report that was
    // asked for, the keeper's document and storage follow.
    void reportCompleted(const Readout &readout);
    void commandAcknowledged(FrameKind kind);
    void moduleSilent(int framesReceived);
    void commandUnanswered(quint16 id);

private:
    void dispatch(const CanMessage &message);
    void completeReadout();
    CommandResult readyToSend();
    bool sendRemote(quint16 id, quint8 length);

    LinkSupervisor linkSupervisor;
    SsuSession *ssu = nullptr;
    ReportKeeper reportKeeper;
    MonitorStream monitorStream;
    AnswerWatch answerWatch;

    ReadoutTransfer transfer;
    bool silentReadout = false;
    bool wholeReport = false;
    Readout readout;
};

Q_DECLARE_METATYPE(FrameKind)
Q_DECLARE_METATYPE(ComparisonSource)
