#pragma once

#include "ssu/reportupload.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class SsuSession;

// Where whole reports go: the SSU when it takes them, otherwise a file of
// the archive folder, which is uploaded whenever the session connects.
// Nothing that was read is dropped without the caller being told. Every
// call that reaches the SSU returns at once; its outcome comes back to done.
class ReportStore : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Uploaded, Archived, Lost };
    struct Result
    {
        Outcome outcome = Outcome::Lost;
        // The archive file written, or the one that could not be.
        QString archivePath;
        QString error;
    };

    explicit ReportStore(SsuSession *session, QObject *parent = nullptr);

    // Connects (fetching the password first when none is known; a
    // connection starts the archive pass), true when connected.
    void connectSession(QObject *context, std::function<void(bool)> done);
    // Stores the record under its read-out time ("dd.MM.yyyy HH:mm"), or
    // archives it when the SSU does not take it.
    void upload(const QByteArray &record, quint32 serialNumber, const QString &time, QObject *context,
                std::function<void(Result)> done);
    // Only the archive file, under a name no other report holds.
    Result archive(const QByteArray &record, quint32 serialNumber, const QString &time);
    // Uploads the archive's files, oldest name first, each under the date its
    // name carries; a file stays until its report is stored (inserted, or
    // replacing the copy the SSU held). A pass asked for while one runs is
    // that pass. Each file it tries ends with archiveFileDone(), the pass
    // with archivePassFinished().
    void uploadArchive();
    bool isUploadingArchive() const { return passRunning; }
    // Files of the archive folder now (reports waiting for the SSU).
    static int waitingReports();

signals:
    // One file of the pass answered: stored (and deleted), or kept, with the
    // reason (the server's words, or that the file is no report).
    void archiveFileDone(const QString &fileName, UploadOutcome outcome, const QString &error);
    // Files stored so far of the pass's total.
    void archiveProgress(int stored, int total);
    void archivePassFinished(int stored);

private:
    void uploadNextArchived();
    void endPass();

    SsuSession *session;
    bool passRunning = false;
    QStringList passFiles;
    int passTotal = 0;
    int passStored = 0;
};

Q_DECLARE_METATYPE(ReportStore::Result)
