// Time to decode one report record and build its HTML document, the work a
// completed read-out does before it touches the disk.
#include "report/htmlreport.h"
#include "report/reportrecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QtEndian>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);

    QByteArray record(ReportRecordSize, '\0');
    for (int word = 0; word < ReportRecordSize / 4; ++word)
        qToLittleEndian<quint32>(quint32(1000 + word * 7919), record.data() + 4 * word);
    qToLittleEndian<quint32>(1000000, record.data());

    const int reports = 20000;
    qint64 checksum = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < reports; ++i) {
        record[4] = char(i); // keep every pass honest
        ReportValues values = decodeReport(record);
        values.date = QStringLiteral("06.12.2026 14:35");
        checksum += buildHtmlReport(values, quint32(i & 1)).size();
    }
    const double microseconds = double(clock.nsecsElapsed()) / 1000.0 / reports;

    QTextStream(stdout) << "decode + HTML build: " << QString::number(microseconds, 'f', 1) << " us per report ("
                        << reports << " reports, " << checksum / reports << " characters each)\n";
    return 0;
}
