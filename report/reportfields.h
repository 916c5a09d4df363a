#pragma once

#include "report/reportrecord.h"

#include <QString>
#include <QVector>

// The report's fields, described once: where each comes from in the
// module's record, the rvkreport column it is stored in (its SQL type follows
// from its form), its text form, whether the listings show it and its row in
// the document's identity table. Decoding a record, creating the table,
// listing, binding an upload, reading a stored row back and filling the HTML
// document all walk this table, so a new word is one more ReportValues
// member, one more row here and (when the document prints it) one
// translation of its caption.
enum class FieldForm {
    ReadoutDate,     // the station's clock at the read-out: "dd.MM.yyyy HH:mm"
    Number,          // a count; unset reads 0
    OperatingTime,   // seconds as "hh:mm"
    ReleaseDate,     // ddMMyyyy as "dd.MM.yyyy"; unset is unknown (empty)
    FirmwareVersion, // 322 as "3.2.2"; unset is unknown (empty)
    PercentList,     // one histogram parameter's bin percents, "12,30,0,58"
};

struct ReportField
{
    QString column;
    FieldForm form;
    // The record word; -1 for the read-out date and the percent lists, which
    // are computed from many words.
    int word = -1;
    // Where ReportValues holds it: a number, a text, or (percent lists) the
    // section's list at parameter.
    quint32 ReportValues::*number = nullptr;
    QString ReportValues::*text = nullptr;
    ReportSection section = ReportSection::Total;
    int parameter = -1;
    // Selected by every listing of stored reports.
    bool listed = false;
    // The document's identity table: the caption (translated in the context
    // "HtmlReport") and the row it takes there; none for the fields the
    // histograms print.
    const char *caption = nullptr;
    int documentRow = -1;
};

// Every column of rvkreport, in the table's order.
const QVector<ReportField> &reportFields();
// The fields with a caption, in the order of the document's identity table.
QVector<ReportField> documentIdentityFields();

// The field's value in values as text (numbers in decimal).
QString fieldText(const ReportValues &values, const ReportField &field);
// Sets the field in values from its text form.
void setFieldText(ReportValues &values, const ReportField &field, const QString &text);
