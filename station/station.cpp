#include "station/station.h"

#include "protocol/readoutprogress.h"
#include "report/reportrecord.h"
#include "ssu/ssusession.h"
#include "station/timing.h"

#include <QDateTime>
#include <QPointer>
#include <QTimer>

Station::Station(QObject *parent)
    : QObject(parent)
    , ssu(new SsuSession(this))
    , reportKeeper(ssu)
{
    // Signal spies and queued connections carry the station's own types.
    qRegisterMetaType<Readout>();
    qRegisterMetaType<ReportStore::Result>();
    qRegisterMetaType<FrameKind>();
    qRegisterMetaType<ComparisonSource>();
    connect(link(), &AdapterLink::framesArrived, this, &Station::dispatchPendingFrames);
    connect(&answerWatch, &AnswerWatch::reportSilent, this, [this](int frames) {
        // Frames that came and stopped are a broken transfer: the values
        // shown are no longer known to be this module's.
        if (frames > 0)
            wholeReport = false;
        // The log file's read-out only names the file; nobody asked for it.
        if (!silentReadout)
            emit moduleSilent(frames);
    });
    connect(&answerWatch, &AnswerWatch::commandUnanswered, this, &Station::commandUnanswered);
    transfer.setStallMs(StationTimings::current().readoutStallMs);
}

Station::~Station() = default;

void Station::dispatchPendingFrames()
{
    CanMessage message;
    while (link()->takeFrame(&message))
        dispatch(message);
}

void Station::dispatch(const CanMessage &message)
{
    // Before the handlers, whose message boxes outlast the wait.
    if (message.rtr)
        answerWatch.commandAcknowledged(message.id);
    const FrameKind kind = classifyFrame(message);
    switch (kind) {
    case FrameKind::AckSetSN:
    case FrameKind::AckSetDate:
    case FrameKind::AckSetHit:
    case FrameKind::AckIRTClear:
    case FrameKind::AckEEPROMClear:
        emit commandAcknowledged(kind);
        break;
    case FrameKind::ReportEnd:
        completeReadout();
        break;
    case FrameKind::ReportData: {
        transfer.frameArrived(message);
        answerWatch.reportFrameArrived();
        const int progress = readoutProgressValue(transfer.frameCount());
        if (progress >= 0)
            emit reportProgress(progress);
        break;
    }
    case FrameKind::MonitorText:
        monitorStream.takeFrame(message);
        break;
    case FrameKind::Ignored:
        break;
    }
}

bool Station::sendRemote(quint16 id, quint8 length)
{
    CanMessage message;
    message.id = id;
    message.rtr = 1;
    message.dlc = length;
    return link()->send(message);
}

bool Station::requestReport(bool silent)
{
    // The module starts over at every request, so a second one mid-stream
    // mixes the frames of two transfers. The transfer under way answers this
    // request too; the user's request makes it a full report.
    if (transfer.isArriving()) {
        if (!silent)
            silentReadout = false;
        return true;
    }
    if (!link()->guard())
        return false;
    // Set on every request, so a silent one that never completed cannot make
    // the user's next read-out silent too.
    silentReadout = silent;
    transfer.requested();
    emit reportProgress(0);
    sendRemote(CanIdReadData, 1);
    answerWatch.reportRequested();
    return true;
}

void Station::completeReadout()
{
    Readout ended;
    ended.frames = transfer.ended();
    answerWatch.reportEnded();
    ended.record = transfer.record();
    ended.whole = ended.frames == ReportFrameCount && ended.record.size() == ReportRecordSize;
    ended.silent = silentReadout;
    silentReadout = false;
    ended.time = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    ended.values = KeyValues::fromRecord(ended.record);
    wholeReport = ended.whole;
    readout = ended;
    emit reportCompleted(ended);
    // A lost, missing or foreign frame shifts or zeroes the words: what
    // arrived is shown, but nothing is written or stored from it.
    if (ended.whole && !ended.silent)
        reportKeeper.keep(ended);
}

// Before a whole report, or after a broken one, the values at hand are not
// this module's: writing them would make them its factory values, and a
// wipe would clear a module the user has not identified.
Station::CommandResult Station::checkCommand() const
{
    return wholeReport ? CommandResult::Sent : CommandResult::ReadReportFirst;
}

Station::CommandResult Station::readyToSend()
{
    if (!wholeReport)
        return CommandResult::ReadReportFirst;
    return link()->guard() ? CommandResult::Sent : CommandResult::LinkDown;
}

Station::CommandResult Station::sendSetCommand(quint16 id, qint32 value)
{
    const CommandResult ready = readyToSend();
    if (ready != CommandResult::Sent)
        return ready;
    CanMessage message;
    message.id = id;
    message.dlc = 4;
    message.setPayload32(value);
    link()->send(message);
    answerWatch.commandSent(id);
    return CommandResult::Sent;
}

// Clear commands are remote frames without data.
Station::CommandResult Station::sendClearCommand(quint16 id)
{
    const CommandResult ready = readyToSend();
    if (ready == CommandResult::Sent) {
        sendRemote(id, 0);
        answerWatch.commandSent(id);
    }
    return ready;
}

// The module takes a remote frame on the monitor identifier as the switch:
// a length of 1 turns the text stream on, 0 turns it off.
bool Station::switchMonitor(bool on)
{
    if (!link()->guard())
        return false;
    sendRemote(CanIdMonitor, on ? 1 : 0);
    return true;
}

void Station::openMonitorLog(QObject *context, std::function<void(bool, QString)> done)
{
    requestReport(true);
    // Whichever comes first: the silent read-out's end (its serial number)
    // or the time allowed for it. The log is named either way.
    auto opened = std::make_shared<bool>(false);
    auto ended = std::make_shared<QMetaObject::Connection>();
    auto openOnce = [this, opened, ended, done, receiver = QPointer<QObject>(context)] {
        disconnect(*ended);
        if (*opened)
            return;
        *opened = true;
        QString path;
        const bool ok = monitorStream.openLog(readout.values.serialNumber, &path);
        if (receiver && done)
            done(ok, path);
    };
    *ended = connect(this, &Station::reportCompleted, this, openOnce);
    QTimer::singleShot(StationTimings::current().logNamingWaitMs, this, openOnce);
}
