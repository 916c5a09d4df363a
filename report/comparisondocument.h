#pragma once

#include "report/reportcomparison.h"

#include <QString>
#include <QStringList>

// Where the report compared with came from, or why there is none.
enum class ComparisonSource {
    // The SSU answered that it holds no report of the module: its first.
    None,
    // The SSU, which holds every station's reports.
    Ssu,
    // This station's own copy, when the SSU could not be asked.
    Station,
    // Not known here: the SSU was not asked (reports go to the archive) and
    // this station has not read the module before.
    UnknownSsuNotAsked,
    // Not known here: the SSU did not answer and this station has not read
    // the module before.
    UnknownSsuUnreachable,
    // Not known: a module without a serial number has no history to look up.
    UnknownNoSerialNumber,
};

// The comparison in one line, shown under the key values after a read-out
// and printed by the command line, so the engineer need not open the page to
// know whether to look at it.
struct ComparisonSummary
{
    ComparisonSource source = ComparisonSource::None;
    // Days, operating time and impacts added; or why nothing is compared.
    QString line;
    // What the engineer must look at (shown in red).
    QStringList notices;
};

ComparisonSummary summarizeComparison(const ReportComparison &comparison, ComparisonSource source,
                                      quint32 language);

// "RVKChanges_sn%1_%2.html", the date as in the report document's name.
QString comparisonFileName(quint32 sn, const QString &date);

// The document "Since the last report", one HTML page in UTF-8; language 1
// is English (from the installed translation), anything else Russian.
QString buildComparisonDocument(const ReportComparison &comparison, ComparisonSource source, quint32 language);

// False with the file's error text when it cannot be written.
bool writeComparisonFile(const QString &path, const ReportComparison &comparison, ComparisonSource source,
                         quint32 language, QString *errorString = nullptr);
