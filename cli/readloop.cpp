// rvk-report read --loop: module after module, for a production line.
#include "cli/interruption.h"
#include "cli/readone.h"

#include "protocol/terminaltext.h"
#include "station/station.h"

#include <QJsonDocument>

namespace {
// Between two questions to the module that is there. A poll is a whole
// report transfer (38 frames, a few milliseconds on the bus), so the line's
// next module is found within a second or two of answering.
constexpr int PollPauseMs = 500;
// After a transfer that broke, before the module is asked again: long
// enough that a module being plugged in has settled.
constexpr int RetryPauseMs = 2000;

// What one question to the bus brought: nothing, a broken transfer or a
// whole report. A silent read-out makes neither document nor storage.
struct Poll
{
    bool sent = false;
    bool answered = false;
    std::optional<Readout> readout;
};

Poll pollModule(Station &station)
{
    Poll poll;
    QObject receiver;
    QObject::connect(&station, &Station::reportCompleted, &receiver, [&](const Readout &ended) {
        poll.readout = ended;
        poll.answered = true;
    });
    QObject::connect(&station, &Station::reportProgress, &receiver, [&](int percent) {
        if (percent > 0)
            poll.answered = true;
    });
    poll.sent = station.requestReport(true);
    // A transfer no frame has come for (the request's own time included)
    // for its stall time is over: nobody answered, or the answer broke off.
    if (poll.sent)
        waitUntil([&] { return poll.readout || !station.isReportArriving(); }, ReadoutTimeoutMs);
    return poll;
}

QString storedText(const ReportStore::Result &stored)
{
    switch (stored.outcome) {
    case ReportStore::Outcome::Uploaded:
        return CommandLine::tr("ССУ");
    case ReportStore::Outcome::Archived:
        return CommandLine::tr("архив: %1").arg(stored.archivePath);
    case ReportStore::Outcome::Lost:
        break;
    }
    return CommandLine::tr("не сохранён: %1").arg(stored.error);
}
} // namespace

QString readoutLine(const ReadOne &read)
{
    QStringList fields{QString::number(read.readout->values.serialNumber), read.document,
                       read.stored ? storedText(*read.stored) : QString()};
    if (read.summary) {
        fields << terminalSafe(read.summary->line);
        for (const QString &notice : read.summary->notices)
            fields << CommandLine::tr("Внимание: %1").arg(terminalSafe(notice));
    }
    return fields.join(QLatin1Char('\t'));
}

// A module counts as the next one when it answers with another serial
// number than the module read last, or answers at all after a question
// nobody answered: a production line's modules often share a number (0, or
// the type's default) before they are written, and one taken off and put
// back is read again, as a person pressing the button would. Until then the
// module read last is only asked whether it is still there.
int readLoop(Station &station, CommandContext &context)
{
    const Interruption interruption;
    const bool json = context.parser.isSet(QStringLiteral("json"));
    context.err << CommandLine::tr("Модули читаются один за другим; остановка: Ctrl+C.") << Qt::endl;
    std::optional<qint32> lastSerial;
    bool silenceSeen = true;
    int modules = 0;
    bool anyArchived = false;
    bool anyLost = false;
    // A module whose last transfer broke and that has not been read whole
    // since.
    bool unread = false;
    const auto pause = [&](int ms) { waitUntil([&] { return interruption.requested(); }, ms); };

    while (!interruption.requested()) {
        const Poll poll = pollModule(station);
        if (!poll.sent) {
            context.err << CommandLine::tr("Связь с адаптером нарушена.") << Qt::endl;
            return ExitCode::NoAdapter;
        }
        if (!poll.answered) {
            silenceSeen = true;
            pause(PollPauseMs);
            continue;
        }
        const bool whole = poll.readout && poll.readout->whole;
        // A broken answer names no module for sure: it is read in full only
        // where a new module may be there.
        const bool next = silenceSeen
                          || (whole && (!lastSerial || poll.readout->values.serialNumber != *lastSerial));
        if (!next || interruption.requested()) {
            pause(PollPauseMs);
            continue;
        }

        const ReadOne read = readOne(station, context, false);
        if (read.code == ExitCode::NoAdapter)
            return ExitCode::NoAdapter;
        if (!read.readout || !read.readout->whole) {
            // Gone again, or the transfer broke: asked again until it is
            // read whole or falls silent.
            silenceSeen = true;
            unread = read.code == ExitCode::Incomplete;
            pause(RetryPauseMs);
            continue;
        }
        ++modules;
        lastSerial = read.readout->values.serialNumber;
        silenceSeen = false;
        unread = false;
        anyArchived = anyArchived || read.code == ExitCode::ArchivedOnly;
        anyLost = anyLost || read.code == ExitCode::NotKept;
        if (json)
            context.out << QJsonDocument(readoutJson(read)).toJson(QJsonDocument::Compact) << '\n';
        else
            context.out << readoutLine(read) << '\n';
        context.out.flush();
    }
    context.err << CommandLine::tr("Прочитано модулей: %1.").arg(modules) << Qt::endl;
    if (anyLost)
        return ExitCode::NotKept;
    if (unread)
        return ExitCode::Incomplete;
    if (anyArchived)
        return ExitCode::ArchivedOnly;
    return modules > 0 ? ExitCode::Done : ExitCode::NoAnswer;
}
