#pragma once

#include "report/reportcomparison.h"

#include <QString>

// Where the report compared with came from.
enum class ComparisonSource {
    None,
    // The SSU, which holds every station's reports.
    Ssu,
    // This station's own copy, when the SSU could not be asked.
    Station,
};

// "RVKChanges_sn%1_%2.html", the date as in the report document's name.
QString comparisonFileName(quint32 sn, const QString &date);

// The document "Since the last report", one HTML page in UTF-8; language 1
// is English (from the installed translation), anything else Russian.
QString buildComparisonDocument(const ReportComparison &comparison, ComparisonSource source, quint32 language);

// False with the file's error text when it cannot be written.
bool writeComparisonFile(const QString &path, const ReportComparison &comparison, ComparisonSource source,
                         quint32 language, QString *errorString = nullptr);
