#include "station/reportkeeper.h"

#include "report/htmlreport.h"
#include "ssu/ssusession.h"

#include <QDir>
#include <QFileInfo>


ReportKeeper::ReportKeeper(SsuSession *ssu, QObject *parent)
    : QObject(parent)
    , session(ssu)
    , reportStore(ssu)
{
}

ReportKeeper::~ReportKeeper()
{
    for (const Job &job : qAsConst(queue)) {
        const ReportStore::Result archived =
            reportStore.archive(job.readout.record, quint32(job.readout.values.serialNumber), job.readout.time);
        if (archived.outcome == ReportStore::Outcome::Lost)
            qWarning("a report read before closing could not be archived: %s %s", qPrintable(archived.archivePath),
                     qPrintable(archived.error));
    }
}

void ReportKeeper::keep(const Readout &whole)
{
    Job job;
    job.readout = whole;
    job.values = decodeReport(whole.record);
    job.values.date = whole.time;
    const QString folder = QDir::currentPath() + QStringLiteral("/Reports");
    QDir().mkpath(folder);
    // Two read-outs of one module within a minute share the name pattern:
    // the second gets a name of its own rather than replacing the first.
    const QString path =
        freeDocumentPath(folder, htmlReportFileName(job.values.sn, job.values.date), job.values.sn,
                         htmlReportBytes(job.values, documentLanguage));
    QString error;
    job.documented = writeHtmlReportFile(path, job.values, documentLanguage, &error);
    if (job.documented)
        emit documentWritten(path);
    else
        emit documentFailed(path, error);
    queue.enqueue(job);
    emit pendingChanged(queue.size());
    startNext();
}

void ReportKeeper::startNext()
{
    if (working || queue.isEmpty())
        return;
    working = true;
    if (!uploading) {
        lookUpPrevious(false);
        return;
    }
    // Connecting starts the archive pass: what waited there was read before
    // this report, so it is stored first and may be the report this one
    // follows.
    reportStore.connectSession(this, [this](bool connected) {
        if (!reportStore.isUploadingArchive()) {
            lookUpPrevious(connected);
            return;
        }
        auto once = std::make_shared<QMetaObject::Connection>();
        *once = connect(&reportStore, &ReportStore::archivePassFinished, this, [this, connected, once] {
            disconnect(*once);
            lookUpPrevious(connected);
        });
    });
}

// The SSU holds every station's reports and is asked whenever it answers;
// this station's own copy stands in only when it cannot be asked. A module
// without a serial number has no history to look up. The lookup comes before
// the upload: the upload replaces a stored report with the same operating
// times, which is then the very report this one follows.
void ReportKeeper::lookUpPrevious(bool connected)
{
    const Job &job = queue.head();
    const quint32 serial = quint32(job.readout.values.serialNumber);
    if (!job.documented || serial == 0) {
        takePrevious(ComparisonSource::UnknownNoSerialNumber, ReportValues());
        return;
    }
    if (!connected) {
        ReportValues previous;
        const ComparisonSource source = fromLocalCopy(
            serial, uploading ? ComparisonSource::UnknownSsuUnreachable : ComparisonSource::UnknownSsuNotAsked, &previous);
        takePrevious(source, previous);
        return;
    }
    session->latestReport(serial, this, [this, serial](const StoredReport &found) {
        switch (found.result) {
        case StoredReportResult::Done:
            takePrevious(ComparisonSource::Ssu, found.values);
            return;
        case StoredReportResult::NotFound:
            takePrevious(ComparisonSource::None, ReportValues());
            return;
        case StoredReportResult::Failed:
            break;
        }
        ReportValues previous;
        const ComparisonSource source = fromLocalCopy(serial, ComparisonSource::UnknownSsuUnreachable, &previous);
        takePrevious(source, previous);
    });
}

ComparisonSource ReportKeeper::fromLocalCopy(quint32 serial, ComparisonSource otherwise, ReportValues *previous) const
{
    return localHistory.latest(serial, previous) ? ComparisonSource::Station : otherwise;
}

void ReportKeeper::takePrevious(ComparisonSource source, const ReportValues &previous)
{
    const Job &job = queue.head();
    const quint32 serial = quint32(job.readout.values.serialNumber);
    if (!uploading) {
        finish(reportStore.archive(job.readout.record, serial, job.readout.time), source, previous);
        return;
    }
    reportStore.upload(job.readout.record, serial, job.readout.time, this,
                       [this, source, previous](const ReportStore::Result &stored) { finish(stored, source, previous); });
}

void ReportKeeper::finish(const ReportStore::Result &stored, ComparisonSource source, const ReportValues &previous)
{
    const Job job = queue.dequeue();
    // Where the document could not be written, the user has been told, and
    // a comparison beside it would stand alone.
    if (job.documented)
        writeComparison(job.values, source, previous);
    // Only a convenience for the next comparison without the SSU: a failure
    // loses nothing the user made.
    const quint32 serial = quint32(job.readout.values.serialNumber);
    QString error;
    if (serial != 0 && !localHistory.remember(serial, job.readout.record, job.readout.time, &error))
        qWarning("cannot keep the module's report for later comparisons: %s", qPrintable(error));
    working = false;
    emit pendingChanged(queue.size());
    emit reportStored(stored);
    startNext();
}

void ReportKeeper::writeComparison(const ReportValues &current, ComparisonSource source, const ReportValues &previous)
{
    const bool hasPrevious = source == ComparisonSource::Ssu || source == ComparisonSource::Station;
    const ReportComparison comparison = hasPrevious ? compareReports(previous, current) : firstReport(current);
    const QString path = freeDocumentPath(QDir::currentPath() + QStringLiteral("/Reports"),
                                          comparisonFileName(current.sn, current.date), current.sn, QByteArray());
    QString error;
    const bool written = writeComparisonFile(path, comparison, source, documentLanguage, &error);
    if (!written)
        emit documentFailed(path, error);
    emit compared(summarizeComparison(comparison, source, documentLanguage), written ? path : QString());
}
