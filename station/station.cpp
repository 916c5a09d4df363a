#include "station/station.h"

#include "diagnostics/monitorframes.h"
#include "diagnostics/monitorlog.h"
#include "link/ftdi.h"
#include "protocol/frameclassification.h"
#include "protocol/programidentity.h"
#include "protocol/readoutprogress.h"
#include "report/htmlreport.h"
#include "report/reportrecord.h"
#include "ssu/ssusession.h"
#include "station/timing.h"

#include <QDir>
#include <QPointer>
#include <QSettings>

namespace {
const char *const adapterKey = "Settings/Adapter";
// Matches no interface, so without a remembered choice the adapter is the
// one interface present, or the user's pick among several.
const char *const defaultAdapter = "VXA";
} // namespace

Station::Station(QObject *parent)
    : QObject(parent)
    , adapter(std::make_unique<FTDI>(rememberedAdapter()))
    , ssu(new SsuSession(this))
    , reportKeeper(ssu)
{
    // Signal spies and queued connections carry the station's own types.
    qRegisterMetaType<Readout>();
    qRegisterMetaType<ReportStore::Result>();
    qRegisterMetaType<FrameKind>();
    qRegisterMetaType<ComparisonSource>();
    connect(&adapterLink, &AdapterLink::framesArrived, this, &Station::dispatchPendingFrames);
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
    connect(&reportKeeper, &ReportKeeper::documentWritten, this, &Station::documentWritten);
    connect(&reportKeeper, &ReportKeeper::compared, this, &Station::compared);
    connect(&reportKeeper, &ReportKeeper::documentFailed, this, &Station::documentFailed);
    connect(&reportKeeper, &ReportKeeper::reportStored, this, &Station::reportStored);
    const StationTimings &timings = StationTimings::current();
    supervision.setInterval(timings.supervisionMs);
    transfer.setStallMs(timings.readoutStallMs);
    logNamingWaitMs = timings.logNamingWaitMs;
    connect(&supervision, &QTimer::timeout, this, &Station::superviseLink);
}

Station::~Station()
{
    closeMonitorLog();
    adapterLink.close();
    // Leaves the adapter's lines as the next program expects them.
    pulseAdapterLines();
}

// --- the adapter and the link's supervision ---

QString Station::rememberedAdapter()
{
    const QString remembered = ProgramIdentity::nativeSettings().value(QLatin1String(adapterKey)).toString();
    return remembered.isEmpty() ? QString::fromLatin1(defaultAdapter) : remembered;
}

QString Station::adapterDescription() const
{
    return adapter->description();
}

// Pulses RTS and sets DTR on the chosen adapter before the driver takes it.
void Station::pulseAdapterLines()
{
    adapter->open();
    adapter->close();
}

void Station::refreshAdapters()
{
    const int count = adapter->countDevices();
    if (count == 0)
        return;
    QStringList adapters;
    int current = 0;
    for (int i = 0; i < count; ++i) {
        adapters << adapter->deviceDescription(i);
        if (adapters.last() == adapter->description())
            current = i;
    }
    if (count == 1 && !adapterSettled)
        adapter->setDescription(adapters.first());
    emit adaptersChanged(adapters, current);
}

bool Station::openAtStart()
{
    pulseAdapterLines();
    refreshAdapters();
    const bool opened = adapterLink.open(adapter->description()) == AdapterLink::OpenResult::Opened;
    adapterSettled = opened;
    emit linkStateChanged(opened);
    // Supervision starts only now: the open may run the event loop for
    // longer than a tick (a network bus connecting), and a tick inside it
    // would close the half-open channel.
    supervision.start();
    return opened;
}

void Station::superviseLink()
{
    // A choice of adapter made while a reconnection waits in the driver's
    // open runs in that open's nested event loop, and so may this timer;
    // the reconnection under way takes care of the link.
    if (reconnecting || supervisionPaused)
        return;
    if (adapterLink.state() == AdapterLink::State::Up) {
        ignoringLoss = false;
        return;
    }
    // Qt delivers this timer again only once this slot has returned, so no
    // second report of the loss comes while its handler asks the user.
    emit linkStateChanged(false);
    if (!ignoringLoss)
        emit linkLost();
    reconnect();
}

void Station::reconnect()
{
    reconnecting = true;
    bool opened = false;
    quint32 choice = 0;
    do {
        choice = adapterChoices;
        emit linkStateChanged(false);
        adapterLink.close();
        pulseAdapterLines();
        refreshAdapters();
        opened = adapterLink.open(adapter->description()) == AdapterLink::OpenResult::Opened;
        // An adapter chosen while the open waited has closed that open; go
        // on with the chosen one.
    } while (!opened && choice != adapterChoices);
    if (opened) {
        adapterSettled = true;
        emit linkStateChanged(true);
    }
    reconnecting = false;
}

void Station::chooseAdapter(const QString &description)
{
    adapter->setDescription(description);
    adapterSettled = true;
    ++adapterChoices;
    ProgramIdentity::nativeSettings().setValue(QLatin1String(adapterKey), description);
    // Connect now: the user has just said which adapter to use. A
    // reconnection that waits in the driver's open is abandoned by the close
    // and then goes on with the chosen adapter itself.
    if (reconnecting)
        adapterLink.close();
    else
        reconnect();
}

// --- frames ---

void Station::dispatchPendingFrames()
{
    CanMessage message;
    while (adapterLink.takeFrame(&message))
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
    case FrameKind::ReportData:
        appendReportFrame(message);
        break;
    case FrameKind::MonitorText:
        takeMonitorFrame(message);
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
    return adapterLink.send(message);
}

// --- the read-out ---

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
    if (!adapterLink.guard())
        return false;
    // Set on every request, so a silent one that never completed cannot make
    // the user's next read-out silent too.
    silentReadout = silent;
    record.clear();
    transfer.requested();
    emit reportProgress(0);
    sendRemote(CanIdReadData, 1);
    answerWatch.reportRequested();
    return true;
}

void Station::appendReportFrame(const CanMessage &message)
{
    // A transfer the module sends unasked after an end notice is a report of
    // its own, never the tail of the one already decoded.
    const int length = qBound(0, int(message.dlc), int(sizeof message.data));
    if (transfer.frameArrived(length))
        record.clear();
    answerWatch.reportFrameArrived();
    // A short frame keeps its place in the record, so the words after it
    // still line up; its missing bytes read 0.
    QByteArray bytes(reinterpret_cast<const char *>(message.data), length);
    bytes.append(QByteArray(int(sizeof message.data) - length, '\0'));
    record.append(bytes);
    const int progress = readoutProgressValue(transfer.frameCount());
    if (progress >= 0)
        emit reportProgress(progress);
}

void Station::completeReadout()
{
    Readout ended;
    ended.frames = transfer.ended();
    answerWatch.reportEnded();
    ended.record = record;
    ended.whole = ended.frames == ReportFrameCount && record.size() == ReportRecordSize;
    ended.silent = silentReadout;
    silentReadout = false;
    ended.time = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    ended.values = KeyValues::fromRecord(record);
    wholeReport = ended.whole;
    readout = ended;
    emit reportCompleted(ended);
    // A lost, missing or foreign frame shifts or zeroes the words: what
    // arrived is shown, but nothing is written or stored from it.
    if (ended.whole && !ended.silent)
        reportKeeper.keep(ended);
}

// --- commands ---

Station::CommandResult Station::sendSetCommand(quint16 id, qint32 value)
{
    // Before a whole report, or after a broken one, the values at hand are
    // not this module's; writing them would make them its factory values.
    if (!wholeReport)
        return CommandResult::ReadReportFirst;
    if (!adapterLink.guard())
        return CommandResult::LinkDown;
    CanMessage message;
    message.id = id;
    message.rtr = 0;
    message.dlc = 4;
    message.setPayload32(value);
    adapterLink.send(message);
    answerWatch.commandSent(id);
    return CommandResult::Sent;
}

// Clear commands are remote frames without data. They wipe only the module
// whose whole report was read last, so the user knows which one it is.
Station::CommandResult Station::sendClearCommand(quint16 id)
{
    if (!wholeReport)
        return CommandResult::ReadReportFirst;
    if (!adapterLink.guard())
        return CommandResult::LinkDown;
    sendRemote(id, 0);
    answerWatch.commandSent(id);
    return CommandResult::Sent;
}

// --- monitor ---

// The module takes a remote frame on the monitor identifier as the switch:
// a length of 1 turns the text stream on, 0 turns it off.
bool Station::switchMonitor(bool on)
{
    if (!adapterLink.guard())
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
    auto openOnce = [this, opened, done, receiver = QPointer<QObject>(context)] {
        if (*opened)
            return;
        *opened = true;
        QString path;
        const bool ok = openLogFile(&path);
        if (receiver && done)
            done(ok, path);
    };
    auto ended = std::make_shared<QMetaObject::Connection>();
    *ended = connect(this, &Station::reportCompleted, this, [openOnce, ended] {
        disconnect(*ended);
        openOnce();
    });
    QTimer::singleShot(logNamingWaitMs, this, [openOnce, ended] {
        disconnect(*ended);
        openOnce();
    });
}

bool Station::openLogFile(QString *path)
{
    QDir::current().mkpath(MonitorLog::folderName());
    const QString name = QDir::currentPath() + QLatin1Char('/') + MonitorLog::folderName() + QLatin1Char('/')
                         + MonitorLog::fileName(readout.values.serialNumber, QDateTime::currentDateTime());
    if (path)
        *path = name;
    closeMonitorLog();
    logFile.setFileName(name);
    if (!logFile.open(QIODevice::Append | QIODevice::Text))
        return false;
    logStream.setDevice(&logFile);
    return true;
}

void Station::closeMonitorLog()
{
    logStream.setDevice(nullptr);
    logFile.close();
}

void Station::takeMonitorFrame(const CanMessage &message)
{
    const QString text = MonitorFrames::frameText(message.data);
    monitorChunk += text;
    monitorChunk.remove(QLatin1Char('\r'));
    emit monitorText(MonitorFrames::displayText(monitorChunk));

    monitorBlockText += text;
    if (MonitorFrames::completesBlock(monitorBlockText, monitorChunk)) {
        // One time for the charts and the log, so a saved log charts alike.
        const QDateTime now = QDateTime::currentDateTime();
        emit monitorBlock(monitorBlockText, now);
        if (logWanted && logFile.isOpen()) {
            QString logged = monitorBlockText;
            logged.remove(QLatin1Char('\r'));
            logStream << MonitorLog::timeStampLine(now) << logged;
            logStream.flush();
        }
        monitorBlockText.clear();
    } else {
        MonitorFrames::boundBlock(monitorBlockText, MonitorFrames::maximumBlockLength);
    }
    monitorChunk.clear();
}
