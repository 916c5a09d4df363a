#pragma once

#include "report/comparisondocument.h"
#include "report/reportrecord.h"
#include "station/localhistory.h"
#include "station/readout.h"
#include "station/reportstore.h"

#include <QObject>
#include <QQueue>
#include <QString>

class SsuSession;

// What becomes of every whole read-out, in the order the reports were read.
// Its document is written at once; then, one read-out after the other, each
// only once the one read before it has finished all of this: the module's
// previous report is looked up (in the SSU, which has taken in the archive
// first, or in this station's own copy), the report is stored or archived,
// the comparison is written beside the document and the local copy updated.
// So each comparison is against the report read just before it, and the
// user may read again at any time without waiting for the storage.
class ReportKeeper : public QObject
{
    Q_OBJECT
public:
    explicit ReportKeeper(SsuSession *session, QObject *parent = nullptr);
    // Read-outs not yet stored when the program closes go to the archive,
    // to be uploaded at the next start: the user made them. One whose upload
    // was under way may be stored twice then, which the duplicate rule
    // makes the same single row.
    ~ReportKeeper() override;

    ReportStore *store() { return &reportStore; }
    // The language of the documents made from now on (0 Russian, 1 English).
    void setDocumentLanguage(quint32 language) { documentLanguage = language; }
    // Off: whole reports go to the archive folder, not to the SSU.
    void setUploading(bool on) { uploading = on; }

    void keep(const Readout &whole);
    // Read-outs taken and not yet stored or archived.
    int pending() const { return queue.size(); }

signals:
    void documentWritten(const QString &path);
    // path is empty when the comparison's page could not be written (then
    // documentFailed told why); the summary holds all the same.
    void compared(const ComparisonSummary &summary, const QString &path);
    void documentFailed(const QString &path, const QString &error);
    void reportStored(const ReportStore::Result &result);
    // How many read-outs wait for their storage, the one under way included.
    void pendingChanged(int count);

private:
    struct Job
    {
        Readout readout;
        ReportValues values;
        bool documented = false;
    };

    void startNext();
    void lookUpPrevious(bool connected);
    void takePrevious(ComparisonSource source, const ReportValues &previous);
    void finish(const ReportStore::Result &stored, ComparisonSource source, const ReportValues &previous);
    void writeComparison(const ReportValues &current, ComparisonSource source, const ReportValues &previous);
    // The station's copy, or otherwise when it has none.
    ComparisonSource fromLocalCopy(quint32 serial, ComparisonSource otherwise, ReportValues *previous) const;

    SsuSession *session;
    ReportStore reportStore;
    LocalHistory localHistory;
    QQueue<Job> queue;
    bool working = false;
    quint32 documentLanguage = 0;
    bool uploading = true;
};
