#include "report/reportfields.h"

#include "report/histogramtable.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

ReportField numberField(const QString &column, int word, quint32 ReportValues::*member)
{
    ReportField field{column, FieldForm::Number, word};
    field.number = member;
    return field;
}

ReportField textField(const QString &column, FieldForm form, int word, QString ReportValues::*member)
{
    ReportField field{column, form, word};
    field.text = member;
    return field;
}

// The histogram table names the parameters; their inter-repair columns
// carry the prefix "irt_".
ReportField percentField(ReportSection section, int parameter)
{
    const QString key = histogramParameters().at(parameter).key;
    ReportField field{section == ReportSection::Total ? key : QLatin1String("irt_") + key, FieldForm::PercentList};
    field.section = section;
    field.parameter = parameter;
    return field;
}

enum Listing { Unlisted, Listed };

// A field the document names in its identity table, at row.
ReportField identity(ReportField field, int row, const char *caption, Listing listing)
{
    field.documentRow = row;
    field.caption = caption;
    field.listed = listing == Listed;
    return field;
}

QVector<ReportField> buildFields()
{
    QVector<ReportField> fields{
        identity(numberField(QStringLiteral("sn"), WordSerialNumber, &ReportValues::sn), 1,
                 QT_TRANSLATE_NOOP("HtmlReport", "Серийный номер :"), Listed),
        identity(textField(QStringLiteral("date"), FieldForm::ReadoutDate, -1, &ReportValues::date), 0,
                 QT_TRANSLATE_NOOP("HtmlReport", "Дата формирования отчета :"), Listed),
        identity(textField(QStringLiteral("release_date"), FieldForm::ReleaseDate, WordReleaseDate,
                           &ReportValues::release_date),
                 2, QT_TRANSLATE_NOOP("HtmlReport", "Дата выпуска :"), Listed),
        identity(textField(QStringLiteral("firmware_version"), FieldForm::FirmwareVersion, WordFirmwareVersion,
                           &ReportValues::firmware_version),
                 3, QT_TRANSLATE_NOOP("HtmlReport", "Версия прошивки :"), Listed),
        identity(numberField(QStringLiteral("impact_level"), WordImpactLevel, &ReportValues::impact_level), 4,
                 QT_TRANSLATE_NOOP("HtmlReport", "Уровень удара :"), Unlisted),
        identity(textField(QStringLiteral("total_time"), FieldForm::OperatingTime, WordTotalTime,
                           &ReportValues::total_time),
                 5, QT_TRANSLATE_NOOP("HtmlReport", "Полная наработка, часов :"), Listed),
        // The blank before the cell is in every document printed so far.
        identity(textField(QStringLiteral("repair_time"), FieldForm::OperatingTime, WordRepairTime,
                           &ReportValues::repair_time),
                 6, QT_TRANSLATE_NOOP("HtmlReport", "Межремонтная наработка, часов : "), Listed),
    };
    // Each section's histograms, then its impacts.
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter)
        fields << percentField(ReportSection::Total, parameter);
    fields << numberField(QStringLiteral("impacts"), WordImpacts, &ReportValues::impacts);
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter)
        fields << percentField(ReportSection::InterRepair, parameter);
    fields << numberField(QStringLiteral("irt_impacts"), WordIrtImpacts, &ReportValues::irt_impacts);
    return fields;
}

QStringList &percentsOf(ReportValues &values, ReportSection section)
{
    return section == ReportSection::Total ? values.totalPercents : values.repairPercents;
}

} // namespace

const QVector<ReportField> &reportFields()
{
    static const QVector<ReportField> fields = buildFields();
    return fields;
}

QVector<ReportField> documentIdentityFields()
{
    QVector<ReportField> shown;
    for (const ReportField &field : reportFields()) {
        if (field.caption)
            shown << field;
    }
    std::sort(shown.begin(), shown.end(),
              [](const ReportField &a, const ReportField &b) { return a.documentRow < b.documentRow; });
    return shown;
}

QString fieldText(const ReportValues &values, const ReportField &field)
{
    if (field.number)
        return QString::number(values.*field.number);
    if (field.text)
        return values.*field.text;
    const QStringList &lists = field.section == ReportSection::Total ? values.totalPercents : values.repairPercents;
    return lists.value(field.parameter);
}

void setFieldText(ReportValues &values, const ReportField &field, const QString &text)
{
    if (field.number) {
        values.*field.number = text.toUInt();
    } else if (field.text) {
        values.*field.text = text;
    } else {
        QStringList &lists = percentsOf(values, field.section);
        while (lists.size() <= field.parameter)
            lists << QString();
        lists[field.parameter] = text;
    }
}
