#include "report/comparisondocument.h"

#include "protocol/plainfile.h"
#include "report/histogramtable.h"
#include "report/htmlreport.h"

#include <QCoreApplication>

namespace {

const char Context[] = "ReportComparison";

// The document's language is its own, as the report document's is: the
// Russian source unless English was asked for.
QString text(quint32 language, const char *source)
{
    return language == 1 ? QCoreApplication::translate(Context, source) : QString::fromUtf8(source);
}

const char Style[] =
    "body{font-family:sans-serif;margin:20px 50px;}table{border-collapse:collapse;margin-bottom:16px;}"
    "td,th{border:1px solid black;padding:4px 8px;text-align:right;}th{background-color:#F0F0F0;}"
    "td.name{text-align:left;}.notice{border:2px solid #C00000;background-color:#FFF0F0;padding:8px 16px;"
    "margin-bottom:16px;}.notice li{color:#C00000;font-weight:bold;}.note{color:#505050;}";

QString hoursText(double hours)
{
    return QString::number(hours, 'f', 1);
}

QString signedHours(double hours)
{
    return (hours > 0 ? QStringLiteral("+") : QString()) + hoursText(hours);
}

QString signedCount(qint64 count)
{
    return (count > 0 ? QStringLiteral("+") : QString()) + QString::number(count);
}

// Minutes as "h:mm", with the sign of a change.
QString signedMinutes(qint64 minutes)
{
    const QString sign = minutes > 0 ? QStringLiteral("+") : minutes < 0 ? QStringLiteral("-") : QString();
    const qint64 magnitude = qAbs(minutes);
    return sign + QStringLiteral("%1:%2").arg(magnitude / 60).arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

QString binRange(quint32 language, int parameter, int bin)
{
    const HistogramParameter &row = histogramParameters().at(parameter);
    const HistogramBin &range = row.bins.at(bin);
    const QString upper = range.upper == OpenUpperBound ? QString() : QString::number(range.upper);
    return QStringLiteral("%1...%2 %3").arg(QString::number(range.lower), upper, row.unit(language));
}

QString noticeText(const ComparisonNotice &notice, quint32 language)
{
    switch (notice.kind) {
    case ComparisonNotice::TotalTimeBackwards:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Полная наработка уменьшилась: модуль заменён под этим серийным "
                                                "номером или его память очищена."));
    case ComparisonNotice::ImpactsBackwards:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Количество ударов уменьшилось: модуль заменён под этим серийным "
                                                "номером или его память очищена."));
    case ComparisonNotice::DateEarlier:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Этот отчёт датирован раньше предыдущего: проверьте часы "
                                                "компьютеров станций."));
    case ComparisonNotice::RepairReset:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Межремонтные счётчики сброшены после предыдущего отчёта."));
    case ComparisonNotice::UnusualBin:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Необычная работа: %1, %2 — %3 % добавленного времени, ранее %4 %."))
            .arg(histogramParameters().at(notice.parameter).caption(language),
                 binRange(language, notice.parameter, notice.bin), QString::number(notice.recent, 'f', 0),
                 QString::number(notice.past, 'f', 0));
    case ComparisonNotice::UnusualImpacts:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Необычно много ударов: %1 на 100 часов, ранее %2."))
            .arg(QString::number(notice.recent, 'f', 1), QString::number(notice.past, 'f', 1));
    }
    return QString();
}

QString row(const QStringList &cells, bool firstIsName = true)
{
    QString html = QStringLiteral("<tr>");
    for (int i = 0; i < cells.size(); ++i)
        html += (i == 0 && firstIsName ? QStringLiteral("<td class=\"name\">%1</td>") : QStringLiteral("<td>%1</td>"))
                    .arg(cells.at(i));
    return html + QStringLiteral("</tr>");
}

QString heading(const QStringList &cells)
{
    QString html = QStringLiteral("<tr>");
    for (const QString &cell : cells)
        html += QStringLiteral("<th>%1</th>").arg(cell);
    return html + QStringLiteral("</tr>");
}

// Only an SSU that answered makes a report the module's first; otherwise the
// previous report is merely not known here, and the reader is told why.
QString withoutPrevious(ComparisonSource source, quint32 language)
{
    switch (source) {
    case ComparisonSource::UnknownSsuNotAsked:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Предыдущий отчёт модуля здесь не известен: отчёты сейчас не "
                                                "передаются в ССУ, а эта станция модуль ещё не читала."));
    case ComparisonSource::UnknownSsuUnreachable:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Предыдущий отчёт модуля здесь не известен: ССУ не ответила, а эта "
                                                "станция модуль ещё не читала."));
    case ComparisonSource::UnknownNoSerialNumber:
        return text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                "Предыдущий отчёт не известен: у модуля нет серийного номера."));
    case ComparisonSource::None:
    case ComparisonSource::Ssu:
    case ComparisonSource::Station:
        break;
    }
    return text(language, QT_TRANSLATE_NOOP("ReportComparison", "Это первый отчёт модуля: сравнивать не с чем."));
}

QString identity(const ReportComparison &comparison, ComparisonSource source, quint32 language)
{
    const ReportValues &current = comparison.current;
    QString html = QStringLiteral("<table>");
    html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Серийный номер")), QString::number(current.sn)});
    html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Этот отчёт")), current.date.toHtmlEscaped()});
    if (comparison.hasPrevious) {
        const QString origin = source == ComparisonSource::Station
                                   ? text(language, QT_TRANSLATE_NOOP("ReportComparison", "копия этой станции"))
                                   : text(language, QT_TRANSLATE_NOOP("ReportComparison", "ССУ"));
        html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Предыдущий отчёт")),
                     QStringLiteral("%1 (%2)").arg(comparison.previous.date.toHtmlEscaped(), origin)});
        html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Прошло дней")),
                     QString::number(comparison.daysBetween, 'f', 1)});
        QString firmware = comparison.previous.firmware_version.toHtmlEscaped();
        if (comparison.firmwareChanged)
            firmware += QStringLiteral(" → %1 <b>(%2)</b>")
                            .arg(current.firmware_version.toHtmlEscaped(),
                                 text(language, QT_TRANSLATE_NOOP("ReportComparison", "прошивка обновлена")));
        html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Версия прошивки")), firmware});
    }
    return html + QStringLiteral("</table>");
}

QString counters(const ReportComparison &comparison, quint32 language)
{
    const ReportValues &before = comparison.previous;
    const ReportValues &after = comparison.current;
    QString html = QStringLiteral("<table>");
    html += heading({QString(), text(language, QT_TRANSLATE_NOOP("ReportComparison", "Было")),
                     text(language, QT_TRANSLATE_NOOP("ReportComparison", "Стало")),
                     text(language, QT_TRANSLATE_NOOP("ReportComparison", "Добавилось"))});
    html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Полная наработка, ч:мин")),
                 before.total_time.toHtmlEscaped(), after.total_time.toHtmlEscaped(),
                 signedMinutes(comparison.totalMinutesAdded)});
    html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Межремонтная наработка, ч:мин")),
                 before.repair_time.toHtmlEscaped(), after.repair_time.toHtmlEscaped(),
                 signedMinutes(comparison.repairMinutesAdded)});
    html += row({histogramParameters().at(HistogramParameterCount).caption(language), QString::number(before.impacts),
                 QString::number(after.impacts), signedCount(comparison.impactsAdded)});
    html += row({text(language, QT_TRANSLATE_NOOP("ReportComparison", "Межремонтное количество ударов")),
                 QString::number(before.irt_impacts), QString::number(after.irt_impacts),
                 signedCount(comparison.irtImpactsAdded)});
    return html + QStringLiteral("</table>");
}

QString bins(const ReportComparison &comparison, quint32 language)
{
    QString html = QStringLiteral("<h2>%1</h2><p class=\"note\">%2</p>")
                       .arg(text(language, QT_TRANSLATE_NOOP("ReportComparison", "Часы по диапазонам (полная наработка)")),
                            text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                             "Часы диапазона — его процент от наработки. Модуль "
                                                             "хранит секунды, но в отчёте проценты округлены до "
                                                             "целых, поэтому добавленные часы верны лишь до ±%1 ч."))
                                .arg(hoursText(comparison.bins.value(0).uncertaintyHours)));
    const double added = double(comparison.totalMinutesAdded) / 60.0;
    int parameter = -1;
    for (const BinChange &change : comparison.bins) {
        if (change.parameter != parameter) {
            if (parameter >= 0)
                html += QStringLiteral("</table>");
            parameter = change.parameter;
            html += QStringLiteral("<h3>%1</h3><table>").arg(histogramParameters().at(parameter).caption(language));
            html += heading({QString(), text(language, QT_TRANSLATE_NOOP("ReportComparison", "Было, ч")),
                             text(language, QT_TRANSLATE_NOOP("ReportComparison", "Стало, ч")),
                             text(language, QT_TRANSLATE_NOOP("ReportComparison", "Добавилось, ч")),
                             text(language, QT_TRANSLATE_NOOP("ReportComparison", "Доля добавленного, %"))});
        }
        const QString share = added > 0 ? QString::number(100.0 * change.addedHours / added, 'f', 0) : QString();
        html += row({binRange(language, change.parameter, change.bin), hoursText(change.previousHours),
                     hoursText(change.currentHours), signedHours(change.addedHours), share});
    }
    if (parameter >= 0)
        html += QStringLiteral("</table>");
    return html;
}

} // namespace

// The report document's name under a prefix of its own, so the two lie
// side by side.
QString comparisonFileName(quint32 sn, const QString &date)
{
    return QStringLiteral("RVKChanges_") + htmlReportFileName(sn, date).mid(int(qstrlen("RVKReport_")));
}

QString buildComparisonDocument(const ReportComparison &comparison, ComparisonSource source, quint32 language)
{
    const QString title = text(language, QT_TRANSLATE_NOOP("ReportComparison", "С прошлого отчёта"));
    QString html = QStringLiteral("<!DOCTYPE html><html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2 — %3</title>"
                                  "<style>%4</style></head><body><h1>%2</h1>")
                       .arg(language == 1 ? QStringLiteral("en") : QStringLiteral("ru"), title,
                            QString::number(comparison.current.sn), QLatin1String(Style));
    html += identity(comparison, source, language);
    if (!comparison.hasPrevious) {
        html += QStringLiteral("<p>%1</p></body></html>").arg(withoutPrevious(source, language));
        return html;
    }
    if (!comparison.notices.isEmpty()) {
        html += QStringLiteral("<div class=\"notice\"><h2>%1</h2><ul>")
                    .arg(text(language, QT_TRANSLATE_NOOP("ReportComparison", "Обратите внимание")));
        for (const ComparisonNotice &notice : comparison.notices)
            html += QStringLiteral("<li>%1</li>").arg(noticeText(notice, language).toHtmlEscaped());
        html += QStringLiteral("</ul></div>");
    }
    html += counters(comparison, language);
    html += bins(comparison, language);
    return html + QStringLiteral("</body></html>");
}

ComparisonSummary summarizeComparison(const ReportComparison &comparison, ComparisonSource source,
                                      quint32 language)
{
    ComparisonSummary summary;
    summary.source = source;
    if (!comparison.hasPrevious) {
        summary.line = withoutPrevious(source, language);
        return summary;
    }
    const QString days = (comparison.daysBetween > 0 ? QStringLiteral("+") : QString())
                         + QString::number(comparison.daysBetween, 'f', 1);
    summary.line = text(language, QT_TRANSLATE_NOOP("ReportComparison",
                                                    "С прошлого отчёта: %1 сут., наработка %2, ударов %3."))
                       .arg(days, signedMinutes(comparison.totalMinutesAdded),
                            signedCount(comparison.impactsAdded));
    for (const ComparisonNotice &notice : comparison.notices)
        summary.notices << noticeText(notice, language);
    return summary;
}

bool writeComparisonFile(const QString &path, const ReportComparison &comparison, ComparisonSource source,
                         quint32 language, QString *errorString)
{
    return PlainFile::write(path, buildComparisonDocument(comparison, source, language).toUtf8(), errorString);
}
