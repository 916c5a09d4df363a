#include "station/reportstore.h"

#include "protocol/archivefile.h"
#include "ssu/ssusession.h"

#include <QDir>
#include <QFile>
#include <QStringList>

ReportStore::ReportStore(SsuSession *ssu, QObject *parent)
    : QObject(parent)
    , session(ssu)
{
    // Every connection the session opens first takes in what waited.
    connect(session, &SsuSession::signalIndicator, this, [this](bool on) {
        if (on)
            uploadArchive();
    });
}

ReportStore::Result ReportStore::store(const QByteArray &record, quint32 serialNumber, const QString &time)
{
    // The archive pass that connecting runs keeps the caller's events
    // flowing, so this report travels in copies, with its own date.
    connectSession();
    return upload(record, serialNumber, time);
}

bool ReportStore::connectSession()
{
    session->fetchPasswordIfMissing();
    return session->connectAndCreateTable();
}

ReportStore::Result ReportStore::upload(const QByteArray &record, quint32 serialNumber, const QString &time)
{
    Result result;
    if (session->uploadReport(record, time)) {
        result.outcome = Outcome::Uploaded;
        return result;
    }
    return archive(record, serialNumber, time);
}

ReportStore::Result ReportStore::archive(const QByteArray &record, quint32 serialNumber, const QString &time)
{
    Result result;
    result.archivePath = QDir::current().absoluteFilePath(ArchiveFile::freePath(serialNumber, time, record));
    result.outcome = ArchiveFile::write(result.archivePath, record, &result.error) ? Outcome::Archived : Outcome::Lost;
    return result;
}

int ReportStore::uploadArchive()
{
    // An upload that reconnects would otherwise start a second pass over the
    // same files inside the first, storing each report twice.
    if (passRunning)
        return 0;
    passRunning = true;
    // The pass walks its own copy of the list: the user acts between two
    // files and may change the folder.
    const QStringList names = ArchiveFile::list(ArchiveFile::directory());
    const int total = names.size();
    int stored = 0;
    for (const QString &name : names) {
        // Checked again as it is opened: the folder may have changed since
        // it was listed.
        QByteArray record;
        if (!ArchiveFile::read(ArchiveFile::pathOf(name), &record))
            continue;
        if (!session->uploadArchivedReport(record, name))
            continue;
        QFile::remove(ArchiveFile::pathOf(name));
        ++stored;
        // Counted anew: the user may have changed the folder meanwhile.
        emit archiveProgress(total - ArchiveFile::count(ArchiveFile::directory()), total);
    }
    passRunning = false;
    emit archivePassFinished(stored);
    return stored;
}
