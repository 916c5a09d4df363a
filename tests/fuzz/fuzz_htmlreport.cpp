// Stored report values of any shape through the document builder: the input
// is split at NUL bytes into the text fields and the twelve percent lists.
#include "report/htmlreport.h"
#include "tests/fuzz/fuzzsupport.h"

#include <QByteArray>
#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::ensureApplication();
    const QList<QByteArray> parts = QByteArray(reinterpret_cast<const char *>(data), int(size)).split('\0');
    auto part = [&parts](int i) { return QString::fromUtf8(parts.value(i)); };
    ReportValues input;
    const quint32 language = parts.value(0).isEmpty() ? 0 : quint8(parts.value(0).at(0)) % 3;
    input.sn = part(1).toUInt();
    input.date = part(2);
    input.release_date = part(3);
    input.firmware_version = part(4);
    input.total_time = part(5);
    input.repair_time = part(6);
    const int lists = qMax(0, parts.size() - 7);
    for (int i = 0; i < lists; ++i)
        (i % 2 ? input.repairPercents : input.totalPercents) << part(7 + i);
    const QString document = buildHtmlReport(input, language);
    if (!document.startsWith(QLatin1String("<html")) || !document.endsWith(QLatin1String("</body></html>")))
        __builtin_trap();
    // Stored texts are shown as text: the markup is the same as for a report
    // whose texts are empty.
    ReportValues bare = input;
    bare.date.clear();
    bare.release_date.clear();
    bare.firmware_version.clear();
    bare.total_time.clear();
    bare.repair_time.clear();
    if (document.count(QLatin1Char('<')) != buildHtmlReport(bare, language).count(QLatin1Char('<')))
        __builtin_trap();
    htmlReportFileName(input.sn, input.date);
    return 0;
}
