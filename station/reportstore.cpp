#include "station/reportstore.h"

#include "protocol/archivefile.h"
#include "ssu/ssusession.h"

#include <QDir>
#include <QFile>

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

void ReportStore::connectSession(QObject *context, std::function<void(bool)> done)
{
    SsuSession *ssu = session;
    session->fetchPasswordIfMissing(context, [ssu, context, done](bool) {
        ssu->connectAndCreateTable(context, done);
    });
}

void ReportStore::upload(const QByteArray &record, quint32 serialNumber, const QString &time, QObject *context,
                         std::function<void(Result)> done)
{
    session->uploadReport(record, time, context, [this, record, serialNumber, time, done](const UploadResult &stored) {
        if (stored.ok) {
            Result result;
            result.outcome = Outcome::Uploaded;
            done(result);
            return;
        }
        done(archive(record, serialNumber, time));
    });
}

ReportStore::Result ReportStore::archive(const QByteArray &record, quint32 serialNumber, const QString &time)
{
    Result result;
    result.archivePath = QDir::current().absoluteFilePath(ArchiveFile::freePath(serialNumber, time, record));
    result.outcome = ArchiveFile::write(result.archivePath, record, &result.error) ? Outcome::Archived : Outcome::Lost;
    return result;
}

int ReportStore::waitingReports()
{
    return ArchiveFile::count(ArchiveFile::directory());
}

void ReportStore::uploadArchive()
{
    // An upload that reconnects would otherwise start a second pass over the
    // same files beside the first, storing each report twice.
    if (passRunning)
        return;
    passRunning = true;
    // The pass walks its own copy of the list: the user acts between two
    // files and may change the folder.
    passFiles = ArchiveFile::list(ArchiveFile::directory());
    passTotal = passFiles.size();
    passStored = 0;
    uploadNextArchived();
}

// One file at a time, each after the one before has been answered, so the
// reports reach the SSU in the order of their names.
void ReportStore::uploadNextArchived()
{
    while (!passFiles.isEmpty()) {
        const QString name = passFiles.takeFirst();
        // Checked again as it is opened: the folder may have changed since
        // it was listed.
        QByteArray record;
        if (!ArchiveFile::read(ArchiveFile::pathOf(name), &record)) {
            // Gone meanwhile is no news; a file still there that is no
            // report stays for the user to look at.
            if (QFile::exists(ArchiveFile::pathOf(name)))
                emit archiveFileDone(name, UploadOutcome::Failed, tr("файл не читается как отчёт"));
            continue;
        }
        session->uploadArchivedReport(record, name, this, [this, name](const UploadResult &result) {
            if (result.ok) {
                QFile::remove(ArchiveFile::pathOf(name));
                ++passStored;
            }
            emit archiveFileDone(name, result.value, result.error);
            if (result.ok) {
                // Counted anew: the user may have changed the folder meanwhile.
                emit archiveProgress(passTotal - ArchiveFile::count(ArchiveFile::directory()), passTotal);
            }
            uploadNextArchived();
        });
        return;
    }
    endPass();
}

void ReportStore::endPass()
{
    passRunning = false;
    emit archivePassFinished(passStored);
}
