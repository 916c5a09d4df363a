#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Everything one HTML report document is built from; the live read-out and
// a stored report fill it from different sources.
struct HtmlReportInput
{
    // 1 = English, anything else Russian, for every text of the document;
    // the English templates come from the installed translation.
    quint32 language = 0;
    const char *context = "MainWindow"; // translation context of the templates
    quint32 sn = 0;
    QString date;                    // "dd.MM.yyyy HH:mm"
    QString release_date;
    QString firmware_version;        // without the "v"
    quint32 impact_level = 0;
    QString total_time;
    QString repair_time;
    quint32 impacts = 0;
    quint32 irt_impacts = 0;
    // PercentList texts ("12,30,0,58"), six per section in parameter order.
    // A missing list or element prints 0, as does an element that is not a number.
    QStringList totalPercents;
    QStringList repairPercents;
};

struct ReportValues;
// The document's input for one report's values; context names the window
// whose translations the templates use ("MainWindow" or "SSUDialog").
HtmlReportInput htmlReportInput(const ReportValues &values, quint32 language, const char *context);

// "RVKReport_sn%1_%2.html" with blanks as "_" and colons as "."; also the title.
QString htmlReportFileName(quint32 sn, const QString &date);

// The whole document, one line.
QString buildHtmlReport(const HtmlReportInput &input);

// Writes the document encoded in windows-1251 (the encoding its head
// declares). False with the file's error text when it cannot be opened or
// written.
bool writeHtmlReportFile(const QString &path, const HtmlReportInput &input, QString *errorString = nullptr);
// The document's bytes as writeHtmlReportFile() writes them.
QByteArray htmlReportBytes(const HtmlReportInput &input);

// Where a document named fileName (a name carrying "_sn<sn>_") goes in
// folder: under that name unless another document holds it, else under the
// first free name with a suffix after the serial number ("_sn<sn>-2_", as
// archive files take one). A file that holds exactly these bytes is this
// document written before, and its name is reused.
QString freeDocumentPath(const QString &folder, const QString &fileName, quint32 sn, const QByteArray &bytes);
