#include "report/htmlreport.h"

#include "protocol/plainfile.h"
#include "report/histogramtable.h"
#include "report/reportrecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextCodec>

#include <cstring>

namespace {

// The document always declares windows-1251, so it is always written in it.
const char DocumentCodec[] = "windows-1251";
const char ModuleVersion[] = "v3.2.2";
const char ProgramVersion[] = "v" RVK_VERSION;

// The head goes through the translator like the other pieces but has no
// entry there, so it stays as it is in every language.
const char HeadTemplate[] = "<html xmlns=\"http://www.w3.org/1999/xhtml\">"
    "<head><title>%1</title><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\" /><style type=\"text/css\">thead td{background-color:#F0F0F0; font-weight:bold; text-align:center;}<!--.borderTbl tr  td{border-width: 1px;border-style: solid;border-color:black;text-align:right;margin:3px;}.histogram {BORDER-RIGHT: black 2px solid;BORDER-TOP: black 2px solid;BORDER-LEFT: black 2px solid;BORDER-BOTTOM: black 2px solid;BACKGROUND-COLOR: White;margin-right:10px;}--></style></head>";

enum Piece { IdentityPiece, TotalHeadingPiece, RepairHeadingPiece, FooterPiece, PieceCount };

// The live read-out and the search dialog translate the same pieces in their
// own contexts; lupdate needs to see the literals in both.
const char *const mainWindowPieces[PieceCount] = {
    QT_TRANSLATE_NOOP("MainWindow", "<body><h1 align=\"center\">Отчёт модуля питания генератора RVK</h1><table style=\"/*font-size:16px;*/ margin-left:50px; /*font-weight:bold;*/\" border=\"1\" cellspacing=\"3\" cellpadding=\"5\"><tr><td>Дата формирования отчета :</td><td>%1</td></tr><tr><td>Серийный номер :</td><td>%2</td></tr><tr><td>Дата выпуска :</td><td>%3</td></tr><tr><td>Версия прошивки :</td><td>%4</td></tr><tr><td>Уровень удара :</td><td>%5</td></tr><tr><td>Полная наработка, часов :</td><td>%6</td></tr><tr><td>Межремонтная наработка, часов : </td><td>%7</td></tr></table>"),
    QT_TRANSLATE_NOOP("MainWindow", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма полной наработки :</p>"),
    QT_TRANSLATE_NOOP("MainWindow", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма межремонтной наработки :</p>"),
    QT_TRANSLATE_NOOP("MainWindow", "<p>Версия модуля питания генератора : %1&nbsp;&nbsp;&nbsp;&nbsp; Программа формирования отчёта : %2</p>"),
};

const char *const ssuDialogPieces[PieceCount] = {
    QT_TRANSLATE_NOOP("SSUDialog", "<body><h1 align=\"center\">Отчёт модуля питания генератора RVK</h1><table style=\"/*font-size:16px;*/ margin-left:50px; /*font-weight:bold;*/\" border=\"1\" cellspacing=\"3\" cellpadding=\"5\"><tr><td>Дата формирования отчета :</td><td>%1</td></tr><tr><td>Серийный номер :</td><td>%2</td></tr><tr><td>Дата выпуска :</td><td>%3</td></tr><tr><td>Версия прошивки :</td><td>%4</td></tr><tr><td>Уровень удара :</td><td>%5</td></tr><tr><td>Полная наработка, часов :</td><td>%6</td></tr><tr><td>Межремонтная наработка, часов : </td><td>%7</td></tr></table>"),
    QT_TRANSLATE_NOOP("SSUDialog", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма полной наработки :</p>"),
    QT_TRANSLATE_NOOP("SSUDialog", "<p style=\"font-size:24px; font-weight:bold;\">Гистограмма межремонтной наработки :</p>"),
    QT_TRANSLATE_NOOP("SSUDialog", "<p>Версия модуля питания генератора : %1&nbsp;&nbsp;&nbsp;&nbsp; Программа формирования отчёта : %2</p>"),
};

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
QString translatedPiece(const HtmlReportInput &input, Piece piece)
{
    const bool searchDialog = input.context && std::strcmp(input.context, "SSUDialog") == 0;
    const char *source = (searchDialog ? ssuDialogPieces : mainWindowPieces)[piece];
    if (input.language != 1)
        return QString::fromUtf8(source);
    return QCoreApplication::translate(input.context, source);
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

void appendSection(QString &document, const HtmlReportInput &input, const QStringList &percents,
                   const char *rowTemplate, quint32 impacts)
{
    const QVector<HistogramParameter> &table = histogramParameters();
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter) {
        const HistogramParameter &row = table.at(parameter);
        document += QLatin1String(ParameterHeading).arg(row.caption(input.language));
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
                            .arg(QString::number(bin.lower), upper, row.unit(input.language),
                                 percentAt(elements, i));
        }
        document += QLatin1String(TableEnd);
    }
    document += QLatin1String(ImpactsLine)
                    .arg(table.at(HistogramParameterCount).caption(input.language), QString::number(impacts));
}

} // namespace

QString htmlReportFileName(quint32 sn, const QString &date)
{
    QString name = QStringLiteral("RVKReport_sn%1_%2.html").arg(QString::number(sn), date);
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    name.replace(QLatin1Char(':'), QLatin1Char('.'));
    return name;
}

QString buildHtmlReport(const HtmlReportInput &input)
{
    QString document;
    document.reserve(16 * 1024);
    // Stored reports bring their texts from a shared database, and the
    // document opens in a browser: a text is shown as text, never as markup.
    document += QCoreApplication::translate(input.context, HeadTemplate)
                    .arg(htmlReportFileName(input.sn, input.date).toHtmlEscaped());
    // The seven values are substituted in one pass, so a '%' inside one of
    // them (a stored text) is never taken for a later placeholder.
    document += translatedPiece(input, IdentityPiece)
                    .arg(input.date.toHtmlEscaped(), QString::number(input.sn), input.release_date.toHtmlEscaped(),
                         input.firmware_version.toHtmlEscaped(), QString::number(input.impact_level),
                         input.total_time.toHtmlEscaped(), input.repair_time.toHtmlEscaped());
    document += translatedPiece(input, TotalHeadingPiece);
    appendSection(document, input, input.totalPercents, TotalRow, input.impacts);
    document += translatedPiece(input, RepairHeadingPiece);
    appendSection(document, input, input.repairPercents, RepairRow, input.irt_impacts);
    document += translatedPiece(input, FooterPiece)
                    .arg(QLatin1String(ModuleVersion), QLatin1String(ProgramVersion));
    document += QLatin1String(DocumentEnd);
    return document;
}

QByteArray htmlReportBytes(const HtmlReportInput &input)
{
    return QTextCodec::codecForName(DocumentCodec)->fromUnicode(buildHtmlReport(input));
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

bool writeHtmlReportFile(const QString &path, const HtmlReportInput &input, QString *errorString)
{
    const QByteArray bytes = htmlReportBytes(input);
    // The report folder may be shared: a link planted at the name is
    // replaced, not followed to a file elsewhere.
    return PlainFile::write(path, bytes, errorString, true);
}

HtmlReportInput htmlReportInput(const ReportValues &values, quint32 language, const char *context)
{
    HtmlReportInput input;
    input.language = language;
    input.context = context;
    input.sn = values.sn;
    input.date = values.date;
    input.release_date = values.release_date;
    input.firmware_version = values.firmware_version;
    input.impact_level = values.impact_level;
    input.total_time = values.total_time;
    input.repair_time = values.repair_time;
    input.impacts = values.impacts;
    input.irt_impacts = values.irt_impacts;
    input.totalPercents = values.totalPercents;
    input.repairPercents = values.repairPercents;
    return input;
}
