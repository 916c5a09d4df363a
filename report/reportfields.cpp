#include "report/reportfields.h"

namespace {

ReportField numberField(const char *column, int word, quint32 ReportValues::*member)
{
    ReportField field{column, FieldForm::Number, word};
    field.number = member;
    return field;
}

ReportField textField(const char *column, FieldForm form, int word, QString ReportValues::*member)
{
    ReportField field{column, form, word};
    field.text = member;
    return field;
}

ReportField percentField(const char *column, ReportSection section, int parameter)
{
    ReportField field{column, FieldForm::PercentList};
    field.section = section;
    field.parameter = parameter;
    return field;
}

QVector<ReportField> buildFields()
{
    using S = ReportSection;
    return {
        numberField("sn", WordSerialNumber, &ReportValues::sn),
        textField("date", FieldForm::ReadoutDate, -1, &ReportValues::date),
        textField("release_date", FieldForm::ReleaseDate, WordReleaseDate, &ReportValues::release_date),
        textField("firmware_version", FieldForm::FirmwareVersion, WordFirmwareVersion, &ReportValues::firmware_version),
        numberField("impact_level", WordImpactLevel, &ReportValues::impact_level),
        textField("total_time", FieldForm::OperatingTime, WordTotalTime, &ReportValues::total_time),
        textField("repair_time", FieldForm::OperatingTime, WordRepairTime, &ReportValues::repair_time),
        percentField("rotation", S::Total, 0),
        percentField("in_voltage", S::Total, 1),
        percentField("out_voltage", S::Total, 2),
        percentField("current", S::Total, 3),
        percentField("temperature", S::Total, 4),
        percentField("vibration", S::Total, 5),
        numberField("impacts", WordImpacts, &ReportValues::impacts),
        percentField("irt_rotation", S::InterRepair, 0),
        percentField("irt_in_voltage", S::InterRepair, 1),
        percentField("irt_out_voltage", S::InterRepair, 2),
        percentField("irt_current", S::InterRepair, 3),
        percentField("irt_temperature", S::InterRepair, 4),
        percentField("irt_vibration", S::InterRepair, 5),
        numberField("irt_impacts", WordIrtImpacts, &ReportValues::irt_impacts),
    };
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
