#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class SsuSession;

// Where whole reports go: the SSU when it takes them, otherwise a file of
// the archive folder, which is uploaded whenever the session connects.
// Nothing that was read is dropped without the caller being told.
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

    // Connects (which uploads the archive first) and stores the record
    // under its read-out time ("dd.MM.yyyy HH:mm"); archives it when the
    // SSU does not take it.
    Result store(const QByteArray &record, quint32 serialNumber, const QString &time);
    // The two halves of store(), for a caller that asks the SSU something in
    // between: connecting (and the archive pass), true when connected; then
    // the upload, or the archive file when the SSU does not take it.
    bool connectSession();
    Result upload(const QByteArray &record, quint32 serialNumber, const QString &time);
    // Only the archive file, under a name no other report holds.
    Result archive(const QByteArray &record, quint32 serialNumber, const QString &time);
    // Uploads the archive's files, oldest name first, each under the date its
    // name carries; a file stays until its report is stored. Returns how
    // many were stored. A pass asked for while one runs is that pass.
    int uploadArchive();
    bool isUploadingArchive() const { return passRunning; }

signals:
    // Files stored so far of the pass's total.
    void archiveProgress(int stored, int total);
    void archivePassFinished(int stored);

private:
    SsuSession *session;
    bool passRunning = false;
};

Q_DECLARE_METATYPE(ReportStore::Result)
