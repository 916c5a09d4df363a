#pragma once

#include "report/reportrecord.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// "RVKReport_sn%1_%2.html" with blanks as "_" and colons as "."; also the title.
QString htmlReportFileName(quint32 sn, const QString &date);

// The whole document of one report, one line. language 1 is English,
// anything else Russian, for every text of the document; the English texts
// come from the installed translation. Percent lists missing or elements
// that are not numbers print 0.
QString buildHtmlReport(const ReportValues &values, quint32 language);

// Writes the document encoded in windows-1251 (the encoding its head
// declares). False with the file's error text when it cannot be opened or
// written.
bool writeHtmlReportFile(const QString &path, const ReportValues &values, quint32 language,
                         QString *errorString = nullptr);
// The document's bytes as writeHtmlReportFile() writes them.
QByteArray htmlReportBytes(const ReportValues &values, quint32 language);

// Where a document named fileName (a name carrying "_sn<sn>_") goes in
// folder: under that name unless another document holds it, else under the
// first free name with a suffix after the serial number ("_sn<sn>-2_", as
// archive files take one). A file that holds exactly these bytes is this
// document written before, and its name is reused.
QString freeDocumentPath(const QString &folder, const QString &fileName, quint32 sn, const QByteArray &bytes);
