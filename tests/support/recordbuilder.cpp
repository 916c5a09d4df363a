#include "tests/support/recordbuilder.h"

#include "report/histogramtable.h"

#include <QtEndian>

namespace rvktest {

RecordBuilder::RecordBuilder(Fill fill)
    : m_record(ReportRecordSize, fill == Fill::Unset ? '\xFF' : '\0')
{
}

RecordBuilder &RecordBuilder::set(ReportWord word, qint64 value)
{
    setWord(word, value);
    return *this;
}

RecordBuilder &RecordBuilder::unset(ReportWord word)
{
    setWord(word, UnsetWord);
    return *this;
}

RecordBuilder &RecordBuilder::setBin(ReportSection section, int parameter, int bin, qint64 value)
{
    const HistogramBin &where = histogramParameters().at(parameter).bins.at(bin);
    setWord(section == ReportSection::Total ? where.totalWord : where.repairWord, value);
    return *this;
}

RecordBuilder &RecordBuilder::setBins(ReportSection section, int parameter, std::initializer_list<qint64> values)
{
    int bin = 0;
    for (qint64 value : values)
        setBin(section, parameter, bin++, value);
    return *this;
}

void RecordBuilder::setWord(int index, qint64 value)
{
    // Values are written as the module stores them: the low 32 bits, so
    // -1 and 0xFFFFFFFF both give an unset word.
    qToLittleEndian<quint32>(quint32(value), m_record.data() + 4 * index);
}

QByteArray exampleRecord()
{
    return QByteArray::fromHex(
        "40420f00a086010090d00300e0930400400d0300f0490200000000000000000050c30000a0bb0d0050c3000010270000204e000020a1"
        "070068180700881300007d00000090d0030090d0030013d0030090d0030000000000e0930400e0930400ffffffff400d03003f0d0300"
        "01000000301b0f0088130000a00f0000e80300000000000005000000a08c0000100e0000201c0000302a0000201c0000100e0000100e"
        "00000000000000000000a08c0000000000000000000000000000504600004f46000001000000010000000200000003000000040000"
        "000500000006000000a08c00000000000000000000000000000000000000000000e02e0000e02e0000e02e00000000000000000000"
        "0200000078563412d20400002a6a5d004201000007000000ffffffff");
}

QByteArray plausibleRecord(quint32 sn, qint64 totalSeconds)
{
    return RecordBuilder()
        .set(WordTotalTime, totalSeconds)
        .setBin(ReportSection::Total, 0, 0, totalSeconds)
        .set(WordRepairTime, 3600)
        .setBin(ReportSection::InterRepair, 0, 0, 3600)
        .set(WordSerialNumber, sn)
        .set(WordReleaseDate, 5032024)
        .set(WordFirmwareVersion, 322)
        .build();
}

} // namespace rvktest
