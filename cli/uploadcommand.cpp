// rvk-report upload: the reports waiting in the archive folder, sent to the
// SSU by the station's own archive pass.
#include "cli/commandcontext.h"

#include "protocol/archivefile.h"
#include "station/reportstore.h"
#include "station/station.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <optional>

namespace {
// The pass answers file by file; a file takes one statement, which the
// session bounds. Longer than that without a file stored, it is given up.
constexpr int FileTimeoutMs = StorageTimeoutMs;
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
    int uploaded = 0;
    // A file is stored when the pass has deleted it.
    const auto reportUploaded = [&] {
        for (auto name = waiting.begin(); name != waiting.end();) {
            if (QFile::exists(ArchiveFile::pathOf(*name))) {
                ++name;
                continue;
            }
            context.out << CommandLine::tr("%1: передан в ССУ").arg(*name) << '\n';
            context.out.flush();
            ++uploaded;
            name = waiting.erase(name);
        }
    };
    QElapsedTimer sinceLastFile;
    bool finished = false;
    QObject receiver;
    QObject::connect(store, &ReportStore::archiveProgress, &receiver, [&] {
        sinceLastFile.restart();
        reportUploaded();
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
    reportUploaded();

    // What stays was not stored: the pass leaves a file it cannot read as a
    // report, and one the SSU did not take (the session tells no more).
    for (const QString &name : waiting) {
        QByteArray record;
        const QString why = !ArchiveFile::read(ArchiveFile::pathOf(name), &record)
                                ? CommandLine::tr("файл не читается как отчёт")
                            : finished ? CommandLine::tr("ССУ не сохранила отчёт")
                                       : CommandLine::tr("ССУ не ответила вовремя");
        context.out << CommandLine::tr("%1: не передан: %2").arg(name, why) << '\n';
    }
    context.out.flush();
    context.err << CommandLine::tr("Передано в ССУ: %1, осталось в архиве: %2.").arg(uploaded).arg(waiting.size())
                << Qt::endl;
    return waiting.isEmpty() ? ExitCode::Done : ExitCode::ArchivedOnly;
}
