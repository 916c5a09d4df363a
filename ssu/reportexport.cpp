#include "ssu/reportexport.h"

#include "protocol/csvwriter.h"
#include "report/reportfields.h"
#include "report/reportrecord.h"
#include "ssu/reportfilter.h"
#include "ssu/driver/ssudriver.h"

#include <QDateTime>
#include <QFileDevice>
#include <QIODevice>
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {
// The messages' translation context.
class ReportExport
{
    Q_DECLARE_TR_FUNCTIONS(ReportExport)
};

// Whole days of the DATETIME column run from midnight to the day's last
// second; the column holds no fractions of one.
QVector<ReportFilter> filtersOf(const ExportSelection &selection)
{
    QVector<ReportFilter> filters;
    if (selection.serial)
        filters << ReportFilter::equal(ReportFilter::Column::SerialNumber, *selection.serial);
    if (selection.from.isValid() || selection.to.isValid()) {
        const QVariant from = selection.from.isValid() ? QVariant(QDateTime(selection.from, QTime(0, 0))) : QVariant();
        const QVariant to = selection.to.isValid() ? QVariant(QDateTime(selection.to, QTime(23, 59, 59))) : QVariant();
        filters << ReportFilter::between(ReportFilter::Column::ReportDate, from, to);
    }
    return filters;
}

// Every stored column but the row key, in the table's order.
QStringList columnNames()
{
    QStringList names;
    for (const ReportField &field : reportFields())
        names << field.column;
    return names;
}

// Reports of one module made in the same minute share sn and date; the row
// key tells them apart, or else their operating times, which the duplicate
// rule keeps apart, and then every other column, so that the order is the
// same on every read.
QStringList orderTerms(bool rowKey)
{
    QStringList terms{QStringLiteral("sn"), QStringLiteral("date")};
    if (rowKey)
        return terms << QStringLiteral("id");
    terms << QStringLiteral("total_time") << QStringLiteral("repair_time");
    for (const ReportField &field : reportFields()) {
        if (!terms.contains(field.column))
            terms << field.column;
    }
    return terms;
}

// A page boundary: the module and minute of the last report of a page.
struct PageKey
{
    QVariant sn;
    QVariant date;
};

// (sn, date) beyond the key (">", ">"), or up to and including it ("<",
// "<="), written out term by term: the server reads such a range from its
// (sn, date) index, which it does not for a comparison of row values.
QString keyTerm(const char *snComparison, const char *dateComparison, const PageKey &key, QVariantList *values)
{
    *values << key.sn << key.sn << key.date;
    return QStringLiteral("sn %1 ? OR (sn = ? AND date %2 ?)")
        .arg(QLatin1String(snComparison), QLatin1String(dateComparison));
}

// A cell's text as exported; false when the stored value cannot be read.
bool cellText(const QVariant &value, FieldForm form, QByteArray *text)
{
    if (value.isNull())
        return false;
    switch (form) {
    case FieldForm::ReadoutDate: {
        const QDateTime when = value.toDateTime();
        *text = CsvWriter::wallClock(when).toLatin1();
        return when.isValid();
    }
    case FieldForm::ReleaseDate: {
        const QDate day = value.toDate();
        *text = CsvWriter::day(day).toLatin1();
        return day.isValid();
    }
    case FieldForm::Number: {
        bool ok = false;
        *text = QByteArray::number(value.toULongLong(&ok));
        return ok;
    }
    default:
        *text = value.toString().toUtf8();
        return true;
    }
}

// An operating time as its number of minutes; false for a damaged text,
// which must not pass for some other time.
bool appendMinutes(QByteArray &line, const QByteArray &text)
{
    qint64 minutes = 0;
    if (!parseOperatingTime(QString::fromUtf8(text), &minutes))
        return false;
    line += QByteArray::number(minutes);
    return true;
}

// A JSON number exactly as RFC 8259 writes one; the stored percents are
// written as they stand, so that the array holds what the table holds.
bool isJsonNumber(const QByteArray &text)
{
    int i = 0;
    const int size = text.size();
    const auto digits = [&] {
        const int start = i;
        while (i < size && text.at(i) >= '0' && text.at(i) <= '9')
            ++i;
        return i > start;
    };
    if (i < size && text.at(i) == '-')
        ++i;
    if (i < size && text.at(i) == '0')
        ++i;
    else if (!digits())
        return false;
    if (i < size && text.at(i) == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < size && (text.at(i) == 'e' || text.at(i) == 'E')) {
        ++i;
        if (i < size && (text.at(i) == '+' || text.at(i) == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == size;
}

// A histogram's bin percents, "12,30,0,58", as [12,30,0,58]; false when a
// bin is no number (nothing between two commas included).
bool appendPercents(QByteArray &line, const QByteArray &text)
{
    const QList<QByteArray> bins = text.split(',');
    for (const QByteArray &bin : bins) {
        if (!isJsonNumber(bin))
            return false;
    }
    line += '[' + bins.join(',') + ']';
    return true;
}

// Control characters as \u00XX, which every reader takes.
void appendJsonString(QByteArray &line, const QByteArray &utf8)
{
    line += '"';
    for (const char c : utf8) {
        if (c == '"' || c == '\\')
            line += '\\';
        if (uchar(c) < 0x20)
            line += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            line += c;
    }
    line += '"';
}

class Exporter
{
public:
    Exporter(QSqlDatabase db, bool rowKey, ExportFormat format, QIODevice *out, int pageRows)
        : db(db)
        , rowKey(rowKey)
        , format(format)
        , out(out)
        , pageRows(pageRows)
    {
    }

    bool run(const ReportCondition &condition, const std::function<void(qint64)> &progress);
    // The reports handed to the device.
    qint64 written = 0;
    QString error;

private:
    bool findPageEnd(const ReportCondition &condition, const PageKey *after, PageKey *end, bool *found);
    bool writePage(const ReportCondition &condition, const PageKey *after, const PageKey *upTo);
    bool appendRow(QByteArray &bytes, const QSqlQuery &query, bool first);
    bool write(const QByteArray &bytes);
    bool failed(const QSqlQuery &query);

    QSqlDatabase db;
    const bool rowKey;
    const ExportFormat format;
    QIODevice *const out;
    const int pageRows;
};

// Binds the filter's values and those of the page's key terms: (sn, date)
// after one key and up to and including another.
void prepare(QSqlQuery &query, const QString &head, const ReportCondition &condition, const PageKey *after,
             const PageKey *upTo, const QString &tail)
{
    QStringList terms;
    QVariantList values;
    if (after)
        terms << QLatin1Char('(') + keyTerm(">", ">", *after, &values) + QLatin1Char(')');
    if (upTo)
        terms << QLatin1Char('(') + keyTerm("<", "<=", *upTo, &values) + QLatin1Char(')');
    prepareReportQuery(query, head, condition, terms.join(QLatin1String(" AND ")), tail, values);
}

bool Exporter::failed(const QSqlQuery &query)
{
    error = ReportExport::tr("Не удалось прочитать сохранённые отчёты: %1").arg(query.lastError().text());
    return false;
}

// The key of the page's last report: the page then holds every report from
// after to that key, the other reports of its module and minute included.
// found is false when fewer than a page remain: the last page holds them all.
bool Exporter::findPageEnd(const ReportCondition &condition, const PageKey *after, PageKey *end, bool *found)
{
    QSqlQuery keys(db);
    keys.setForwardOnly(true);
    prepare(keys, QStringLiteral("SELECT sn, date FROM rvkreport"), condition, after, nullptr,
            QStringLiteral(" ORDER BY sn, date LIMIT 1 OFFSET %1").arg(pageRows - 1));
    if (!keys.exec())
        return failed(keys);
    *found = keys.next();
    if (!*found)
        return true;
    end->sn = keys.value(0);
    end->date = keys.value(1);
    if (!end->date.toDateTime().isValid()) {
        error = ReportExport::tr("У отчёта модуля %1 дата не читается").arg(end->sn.toString());
        return false;
    }
    return true;
}

bool Exporter::writePage(const ReportCondition &condition, const PageKey *after, const PageKey *upTo)
{
    QSqlQuery page(db);
    page.setForwardOnly(true);
    prepare(page, QLatin1String("SELECT ") + columnNames().join(QLatin1String(", ")) + QLatin1String(" FROM rvkreport"),
            condition, after, upTo, QLatin1String(" ORDER BY ") + orderTerms(rowKey).join(QLatin1String(", ")));
    if (!page.exec())
        return failed(page);
    QByteArray bytes;
    qint64 rows = 0;
    while (page.next()) {
        if (!appendRow(bytes, page, written + rows == 0))
            return false;
        ++rows;
    }
    if (!write(bytes))
        return false;
    written += rows;
    return true;
}

bool Exporter::appendRow(QByteArray &bytes, const QSqlQuery &query, bool first)
{
    const QVector<ReportField> &fields = reportFields();
    if (format == ExportFormat::Json)
        bytes += first ? "\n{" : ",\n{";
    QByteArray text;
    for (int i = 0; i < fields.size(); ++i) {
        const ReportField &field = fields.at(i);
        bool readable = cellText(query.value(i), field.form, &text);
        if (readable && i > 0)
            bytes += ',';
        if (readable && format == ExportFormat::Csv) {
            bytes += CsvWriter::field(text);
            continue;
        }
        if (readable) {
            appendJsonString(bytes, field.column.toUtf8());
            bytes += ':';
            switch (field.form) {
            case FieldForm::Number:
                bytes += text;
                break;
            case FieldForm::OperatingTime:
                readable = appendMinutes(bytes, text);
                break;
            case FieldForm::PercentList:
                readable = appendPercents(bytes, text);
                break;
            default:
                appendJsonString(bytes, text);
                break;
            }
        }
        if (!readable) {
            error = ReportExport::tr("У отчёта модуля %1 от %2 не читается значение %3")
                        .arg(query.value(0).toString(),
                             query.value(1).toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")), field.column);
            return false;
        }
    }
    bytes += format == ExportFormat::Csv ? CsvWriter::LineEnd : '}';
    return true;
}

bool Exporter::write(const QByteArray &bytes)
{
    if (out->write(bytes) == bytes.size())
        return true;
    error = ReportExport::tr("Не удалось записать выгрузку: %1").arg(out->errorString());
    return false;
}

bool Exporter::run(const ReportCondition &condition, const std::function<void(qint64)> &progress)
{
    CsvWriter header;
    header.addRow(columnNames());
    const QByteArray head = format == ExportFormat::Csv ? header.bytes() : QByteArray("[");
    if (!write(head))
        return false;
    PageKey after;
    bool first = true;
    for (;;) {
        PageKey end;
        bool full = false;
        if (!findPageEnd(condition, first ? nullptr : &after, &end, &full)
            || !writePage(condition, first ? nullptr : &after, full ? &end : nullptr))
            return false;
        first = false;
        if (progress)
            progress(written);
        if (!full)
            break;
        after = end;
    }
    if (format == ExportFormat::Json && !write("\n]\n"))
        return false;
    // A file's last bytes may sit in its buffer, where a full disk shows
    // only when they are written out.
    auto *file = qobject_cast<QFileDevice *>(out);
    if (file && !file->flush()) {
        error = ReportExport::tr("Не удалось записать выгрузку: %1").arg(file->errorString());
        return false;
    }
    return true;
}
} // namespace

Attempt<qint64> exportReports(QSqlDatabase db, bool rowKey, const ExportSelection &selection, ExportFormat format,
                              QIODevice *out, const std::function<void(qint64 rowsSoFar)> &progress, int pageRows)
{
    if (!out || !out->isWritable())
        return Attempt<qint64>::failed(ReportExport::tr("Выгрузке некуда писать"));
    // The page's last module and minute comes on top of the page: the
    // driver's row limit leaves room for it.
    if (auto *driver = qobject_cast<SsuDriver *>(db.driver()))
        pageRows = qMin(pageRows, driver->rowLimit() / 2);
    pageRows = qMax(1, pageRows);
    if (!db.isOpen())
        return Attempt<qint64>::failed(ReportExport::tr("Нет открытого подключения к базе данных"));
    if (!db.transaction())
        return Attempt<qint64>::failed(
            ReportExport::tr("Не удалось прочитать сохранённые отчёты: %1").arg(db.lastError().text()));
    Exporter exporter(db, rowKey, format, out, pageRows);
    const bool ok = exporter.run(reportCondition(filtersOf(selection)), progress);
    // Nothing was written to the table; the transaction only held the
    // table's state for the pages.
    db.rollback();
    return Attempt<qint64>{ok, exporter.error, exporter.written};
}
