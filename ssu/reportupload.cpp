#include "ssu/reportupload.h"

#include "report/reportfields.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

const char *const UnknownReleaseDate = "01.01.1970";

namespace {

const char *const DuplicateStatement =
    "SELECT total_time, repair_time FROM rvkreport WHERE sn = :sn_w AND total_time = :total_time_w AND repair_time = "
    ":repair_time_w";
const char *const DeleteStatement =
    "DELETE FROM rvkreport WHERE sn = :sn_w AND total_time = :total_time_w AND repair_time = :repair_time_w";
// Every column under its name, ":<column>_w"; a row the duplicate rule's
// key already holds is not inserted a second time.
QString insertStatement()
{
    QStringList columns;
    QStringList values;
    for (const ReportField &field : reportFields()) {
        columns << field.column;
        values << QStringLiteral(":%1_w AS %1").arg(field.column);
    }
    return QLatin1String("INSERT INTO rvkreport (") + columns.join(QLatin1String(", "))
        + QLatin1String(") SELECT * FROM (SELECT ") + values.join(QLatin1String(", "))
        + QLatin1String(") AS new_rvk WHERE NOT EXISTS (SELECT 1 FROM rvkreport WHERE sn = :sn_w AND total_time = "
                        ":total_time_w AND repair_time = :repair_time_w);");
}

// A text that does not parse is bound as NULL; the server then decides.
QVariant dateTimeValue(const QString &text)
{
    const QDateTime value = QDateTime::fromString(text, QStringLiteral("dd.MM.yyyy HH:mm"));
    return value.isValid() ? QVariant(value) : QVariant(QVariant::DateTime);
}

QVariant dateValue(const QString &text)
{
    const QDate value = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    return value.isValid() ? QVariant(value) : QVariant(QVariant::Date);
}

// QSqlQuery binds a null QString as NULL, which the NOT NULL text columns
// refuse; an unknown text is stored as an empty one.
QVariant textValue(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

void bindKey(QSqlQuery &query, const ReportValues &values, const QString &totalTime, const QString &repairTime)
{
    query.bindValue(QStringLiteral(":sn_w"), values.sn);
    query.bindValue(QStringLiteral(":total_time_w"), textValue(totalTime));
    query.bindValue(QStringLiteral(":repair_time_w"), textValue(repairTime));
}

// The column's value as the upload binds it.
QVariant boundValue(const ReportValues &values, const ReportField &field)
{
    switch (field.form) {
    case FieldForm::ReadoutDate:
        return dateTimeValue(values.*field.text);
    case FieldForm::ReleaseDate:
        return dateValue(values.*field.text);
    case FieldForm::Number:
        return values.*field.number;
    default:
        return textValue(fieldText(values, field));
    }
}

bool insertRow(QSqlQuery &query, const ReportValues &values)
{
    static const QString statement = insertStatement();
    if (!query.prepare(statement))
        return false;
    for (const ReportField &field : reportFields())
        query.bindValue(QLatin1Char(':') + field.column + QLatin1String("_w"), boundValue(values, field));
    return query.exec();
}

} // namespace

UploadResult storeReportRow(QSqlDatabase &db, QSqlQuery &query, const ReportValues &values)
{
    const bool inTransaction = db.transaction();

    // Stations storing the same module at once meet on the duplicate key: the
    // server then ends one of them with a deadlock or a lock-wait time-out.
    // A deadlock has rolled the whole transaction back, so going on would
    // store the report beside the row it should replace; the report goes to
    // the archive instead and is stored at the next connection.
    query.prepare(QLatin1String(DuplicateStatement));
    bindKey(query, values, values.total_time, values.repair_time);
    bool stepDone = query.exec();
    const bool replacing = stepDone && query.next();
    if (replacing) {
        const QString totalTime = query.value(0).toString();
        const QString repairTime = query.value(1).toString();
        query.prepare(QLatin1String(DeleteStatement));
        bindKey(query, values, totalTime, repairTime);
        stepDone = query.exec();
    }

    if (!stepDone || !insertRow(query, values)) {
        const QString error = query.lastError().text();
        if (inTransaction)
            db.rollback();
        return UploadResult::failed(error);
    }
    if (inTransaction && !db.commit()) {
        const QString error = db.lastError().text();
        db.rollback();
        return UploadResult::failed(error);
    }
    return UploadResult::done(replacing ? UploadOutcome::Replaced : UploadOutcome::Inserted);
}

void readReportRow(const QSqlRecord &row, ReportValues &values)
{
    for (const ReportField &field : reportFields()) {
        const QVariant value = row.value(field.column);
        switch (field.form) {
        case FieldForm::ReadoutDate:
            setFieldText(values, field, value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm")));
            break;
        case FieldForm::ReleaseDate: {
            // The stand-in for an unset date prints empty, as the live
            // report printed it; the row itself keeps what was stored.
            const QString text = value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
            setFieldText(values, field, text == QLatin1String(UnknownReleaseDate) ? QString() : text);
            break;
        }
        default:
            setFieldText(values, field, value.toString());
            break;
        }
    }
}
