// rvk-report upload: the reports waiting in the archive folder, sent to the
// SSU by the station's own archive pass.
#include "cli/commandcontext.h"

#include "protocol/archivefile.h"
#include "protocol/terminaltext.h"
#include "station/reportstore.h"
#include "station/station.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <optional>

namespace {
// The pass answers file by file; a file takes one statement, which the
// session bounds. Longer than that without a file answered, it is given up.
constexpr int FileTimeoutMs = StorageTimeoutMs;

// A reason from outside (the server's) on the file's one line.
QString oneLine(const QString &reason)
{
    return terminalSafe(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed();
}
} // namespace

int uploadCommand(CommandContext &context)
{
    // The pass lists the folder the same way when it starts; a file that
    // comes meanwhile is uploaded too, but only these are reported.
    QStringList waiting = ArchiveFile::list(ArchiveFile::directory());
    const QString folder = QDir::current().absoluteFilePath(ArchiveFile::directory());
    if (waiting.isEmpty()) {
        context.err << CommandLine::tr("Отчётов в архивной папке %1 нет.").arg(folder) << Qt::endl;
        return ExitCode::Done;
    }
    context.err << CommandLine::tr("Отчётов в архивной папке %1: %2.").arg(folder).arg(waiting.size()) << Qt::endl;

    Station station;
    if (context.hooks.prepareSession)
        context.hooks.prepareSession(station.session());
    ReportStore *store = station.store();
    int sent = 0;
    int alreadyThere = 0;
    int notSent = 0;
    QElapsedTimer sinceLastFile;
    bool finished = false;
    QObject receiver;
    QObject::connect(store, &ReportStore::archiveFileDone, &receiver,
                     [&](const QString &name, UploadOutcome outcome, const QString &error) {
                         sinceLastFile.restart();
                         if (!waiting.removeOne(name))
                             return;
                         switch (outcome) {
                         case UploadOutcome::Inserted:
                             context.out << CommandLine::tr("%1: передан в ССУ").arg(name) << '\n';
                             ++sent;
                             break;
                         case UploadOutcome::Replaced:
                             context.out << CommandLine::tr("%1: уже был в ССУ (заменён этой копией)").arg(name)
                                         << '\n';
                             ++alreadyThere;
                             break;
                         case UploadOutcome::Failed:
                             context.out << CommandLine::tr("%1: не передан: %2")
                                                .arg(name, error.isEmpty() ? CommandLine::tr("ССУ не сохранила отчёт")
                                                                           : oneLine(error))
                                         << '\n';
                             ++notSent;
                             break;
                         }
                         context.out.flush();
                     });
    QObject::connect(store, &ReportStore::archivePassFinished, &receiver, [&] { finished = true; });

    // A connection starts the pass by itself.
    std::optional<bool> connected;
    store->connectSession(&receiver, [&](bool ok) { connected = ok; });
    waitUntil([&] { return connected.has_value(); }, StorageTimeoutMs);
    if (!connected.value_or(false)) {
        context.err << CommandLine::tr("ССУ недоступна.") << Qt::endl;
        for (const QString &name : waiting)
            context.out << CommandLine::tr("%1: не передан: ССУ недоступна").arg(name) << '\n';
        context.out.flush();
        return ExitCode::Database;
    }
    if (!finished && !store->isUploadingArchive())
        store->uploadArchive();
    sinceLastFile.start();
    while (!finished && sinceLastFile.elapsed() < FileTimeoutMs)
        waitUntil([&] { return finished; }, FileTimeoutMs - int(sinceLastFile.elapsed()));

    // The pass answered for every file it found; one it did not reach was
    // either taken out of the folder before it began or is still waiting
    // for the SSU's answer.
    for (const QString &name : waiting) {
        const QString why = !QFile::exists(ArchiveFile::pathOf(name))
            ? CommandLine::tr("файла больше нет в архивной папке")
            : CommandLine::tr("ССУ не ответила вовремя");
        context.out << CommandLine::tr("%1: не передан: %2").arg(name, why) << '\n';
        ++notSent;
    }
    context.out.flush();
    context.err << CommandLine::tr("Передано в ССУ: %1 (из них уже были там: %2), не передано: %3.")
                       .arg(sent + alreadyThere)
                       .arg(alreadyThere)
                       .arg(notSent)
                << Qt::endl;
    return notSent == 0 ? ExitCode::Done : ExitCode::ArchivedOnly;
}
