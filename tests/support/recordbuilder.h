#pragma once

#include "report/reportrecord.h"

#include <QByteArray>
#include <initializer_list>

namespace rvktest {

// A report record set up by field name rather than by word number:
//
//     const QByteArray record = RecordBuilder()
//                                   .set(WordTotalTime, 7200)
//                                   .setBin(ReportSection::Total, 0, 0, 3600)
//                                   .set(WordSerialNumber, 1234)
//                                   .build();
//
// Words not set keep the fill the builder started with: 0, or unset
// (0xFFFFFFFF) as in a module whose EEPROM was erased.
class RecordBuilder
{
public:
    enum class Fill { Zero, Unset };

    explicit RecordBuilder(Fill fill = Fill::Zero);

    RecordBuilder &set(ReportWord word, qint64 value);
    RecordBuilder &unset(ReportWord word);
    // One histogram bin of a section: parameter and bin in the order of the
    // histogram table (rotation first, its lowest bin first).
    RecordBuilder &setBin(ReportSection section, int parameter, int bin, qint64 value);
    // All bins of one parameter, lowest first.
    RecordBuilder &setBins(ReportSection section, int parameter, std::initializer_list<qint64> values);

    QByteArray build() const { return m_record; }

private:
    void setWord(int index, qint64 value);

    QByteArray m_record;
};

// The report of a worn module, as the window tests and the document tests
// read it: serial number 1234, release date 6122026, firmware 322, impact
// level 7, 1000000 s in total with an unset bin and a 46.5 % bin, 36000 s
// since the repair, 5 and 2 impacts.
QByteArray exampleRecord();

// A plausible report of one module for the storage tests: totalSeconds in
// total and an hour since the repair, each spent in the lowest rotation bin,
// release date 5.03.2024, firmware 322.
QByteArray plausibleRecord(quint32 sn, qint64 totalSeconds = 7200);

} // namespace rvktest
