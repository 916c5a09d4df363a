#include "report/htmlreport.h"

#include "protocol/plainfile.h"
#include "report/histogramtable.h"
#include "report/reportfields.h"
#include "report/reportrecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

namespace {

// The document always declares windows-1251, so it is always written in it.
const char DocumentCodec[] = "windows-1251";
const char ModuleVersion[] = "v3.2.2";
const char ProgramVersion[] = "v" RVK_VERSION;

// The head is the same in every language.
const char HeadTemplate[] = "<html xmlns=\"http://www.w3.org/1999/xhtml\">"
    "<head><title>%1</title><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\" /><style type=\"text/css\">thead td{background-color:#F0F0F0; font-weight:bold; text-align:center;}<!--.borderTbl tr  td{border-width: 1px;border-style: solid;border-color:black;text-align:right;margin:3px;}.histogram {BORDER-RIGHT: black 2px solid;BORDER-TOP: black 2px solid;BORDER-LEFT: black 2px solid;BORDER-BOTTOM: black 2px solid;BACKGROUND-COLOR: White;margin-right:10px;}--></style></head>";

enum Piece { TitlePiece, TotalHeadingPiece, RepairHeadingPiece, FooterPiece, PieceCount };

// The document's texts are translated in a context of their own, whichever
// window prints it.
const char TranslationContext[] = "HtmlReport";

const char *const pieces[PieceCount] = {
    QT_TRANSLATE_NOOP("HtmlReport", "<body><h1 align=\"center\">Отчёт модуля питания генератора RVK</h1>"),
    QT_TRANSLATE_NOOP("HtmlReport", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма полной наработки :</p>"),
    QT_TRANSLATE_NOOP("HtmlReport", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма межремонтной наработки :</p>"),
    QT_TRANSLATE_NOOP("HtmlReport", "<p>Версия модуля питания генератора : %1&nbsp;&nbsp;&nbsp;&nbsp; Программа формирования отчёта : %2</p>"),
};

const char IdentityTableStart[] = "<table style=\"/*font-size:16px;*/ margin-left:50px; /*font-weight:bold;*/\" border=\"1\" cellspacing=\"3\" cellpadding=\"5\">";
const char IdentityTableEnd[] = "</table>";
const char ParameterHeading[] = "<p style=\"font-size:20px; font-weight:bold;\">%1</p>";
const char TableStart[] = "<table width=\"90%\" border=\"0\" cellspacing=\"3\" cellpadding=\"5\">";
const char TotalRow[] = "<tr><td width=\"140px\">%1...%2 %3 </td><td width=\"*\"><span class=histogram style=\"padding-right:%4%\">&nbsp;</span>&nbsp;%4%</td></tr></tr>";
const char RepairRow[] = "<tr><td /*align=\"right\";*/ width=\"140px\">%1...%2 %3 </td><td width=\"*\"><span class=histogram style=\"padding-right:%4%\">&nbsp;</span>&nbsp;%4%</td></tr></tr>";
const char TableEnd[] = "</table><br/>";
const char ImpactsLine[] = "<p style=\"font-size:20px; font-weight:bold;\">%1 : %2</p><br><br>";
const char DocumentEnd[] = "</body></html>";

// The language code decides the document's language, not whichever
// translator the application has installed: a Russian report printed from
// an English window keeps its Russian headings beside its Russian captions.
QString translated(const char *source, quint32 language)
{
    if (language != 1)
        return QString::fromUtf8(source);
    return QCoreApplication::translate(TranslationContext, source);
}

// Element bin of a parameter's percent list as an unsigned number; anything
// missing or not a number prints 0, so a damaged stored report still gives a
// whole document.
QString percentAt(const QVector<QStringRef> &elements, int bin)
{
    if (bin >= elements.size())
        return QStringLiteral("0");
    bool ok = false;
    const uint value = elements.at(bin).toUInt(&ok);
    return QString::number(ok ? value : 0u);
}

void appendSection(QString &document, quint32 language, const QStringList &percents, const char *rowTemplate,
                   quint32 impacts)
{
    const QVector<HistogramParameter> &table = histogramParameters();
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter) {
        const HistogramParameter &row = table.at(parameter);
        document += QLatin1String(ParameterHeading).arg(row.caption(language));
        document += QLatin1String(TableStart);
        // Split once per parameter, not once per bin: a stored list is as
        // long as its column allows.
        const QVector<QStringRef> elements = parameter < percents.size()
            ? percents.at(parameter).splitRef(QLatin1Char(','))
            : QVector<QStringRef>();
        for (int i = 0; i < row.bins.size(); ++i) {
            const HistogramBin &bin = row.bins.at(i);
            const QString upper = bin.upper == OpenUpperBound ? QString() : QString::number(bin.upper);
            document += QLatin1String(rowTemplate)
                            .arg(QString::number(bin.lower), upper, row.unit(language),
                                 percentAt(elements, i));
        }
        document += QLatin1String(TableEnd);
    }
    document += QLatin1String(ImpactsLine)
                    .arg(table.at(HistogramParameterCount).caption(language), QString::number(impacts));
}

} // namespace

QString htmlReportFileName(quint32 sn, const QString &date)
{
    QString name = QStringLiteral("RVKReport_sn%1_%2.html").arg(QString::number(sn), date);
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    name.replace(QLatin1Char(':'), QLatin1Char('.'));
    return name;
}

QString buildHtmlReport(const ReportValues &values, quint32 language)
{
    QString document;
    document.reserve(16 * 1024);
    // Stored reports bring their texts from a shared database, and the
    // document opens in a browser: a text is shown as text, never as markup.
    document += QLatin1String(HeadTemplate).arg(htmlReportFileName(values.sn, values.date).toHtmlEscaped());
    document += translated(pieces[TitlePiece], language);
    document += QLatin1String(IdentityTableStart);
    // Appended, never substituted: a '%' inside a stored text is not taken
    // for a placeholder.
    for (const ReportField &field : documentIdentityFields()) {
        document += QLatin1String("<tr><td>") + translated(field.caption, language) + QLatin1String("</td><td>")
            + fieldText(values, field).toHtmlEscaped() + QLatin1String("</td></tr>");
    }
    document += QLatin1String(IdentityTableEnd);
    document += translated(pieces[TotalHeadingPiece], language);
    appendSection(document, language, values.totalPercents, TotalRow, values.impacts);
    document += translated(pieces[RepairHeadingPiece], language);
    appendSection(document, language, values.repairPercents, RepairRow, values.irt_impacts);
    document += translated(pieces[FooterPiece], language)
                    .arg(QLatin1String(ModuleVersion), QLatin1String(ProgramVersion));
    document += QLatin1String(DocumentEnd);
    return document;
}

QByteArray htmlReportBytes(const ReportValues &values, quint32 language)
{
    return QTextCodec::codecForName(DocumentCodec)->fromUnicode(buildHtmlReport(values, language));
}

namespace {
bool holds(const QString &path, const QByteArray &bytes)
{
    QByteArray content;
    return !bytes.isEmpty() && PlainFile::read(path, bytes.size() + 1, &content) && content == bytes;
}
} // namespace

QString freeDocumentPath(const QString &folder, const QString &fileName, quint32 sn, const QByteArray &bytes)
{
    const QString marker = QStringLiteral("_sn%1_").arg(sn);
    for (int n = 1;; ++n) {
        QString name = fileName;
        if (n > 1) {
            name.replace(marker, QStringLiteral("_sn%1-%2_").arg(sn).arg(n));
            // A name without the marker has no place for a suffix.
            if (name == fileName)
                return folder + QLatin1Char('/') + fileName;
        }
        const QString candidate = folder + QLatin1Char('/') + name;
        // A link planted at the name is replaced by the writer, never
        // followed.
        const QFileInfo info(candidate);
        if (info.isSymLink() || !info.exists() || holds(candidate, bytes))
            return candidate;
    }
}

bool writeHtmlReportFile(const QString &path, const ReportValues &values, quint32 language, QString *errorString)
{
    const QByteArray bytes = htmlReportBytes(values, language);
    // The report folder may be shared: a link planted at the name is
    // replaced, not followed to a file elsewhere.
    return PlainFile::write(path, bytes, errorString, true);
}
