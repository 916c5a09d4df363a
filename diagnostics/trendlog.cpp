#include "diagnostics/trendlog.h"

#include <QDateTime>
#include <QFile>
#include <QTextCodec>

#include <algorithm>

namespace TrendLog {

namespace {

// "[yyyy-MM-dd hh:mm:ss.zzz]"
constexpr int stampLength = 25;

bool digitsAt(const QStringRef &text, int position, int count, int *value)
{
    int result = 0;
    for (int i = position; i < position + count; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        result = result * 10 + (c.unicode() - '0');
    }
    *value = result;
    return true;
}

enum class Stamp { None, Valid, Invalid };

// A block may end without a line feed (the text after the last one in the
// frame that completed it), so the next entry's stamp can follow it on the
// same line: the stamp is looked for at the end of the line. Hand-parsed,
// because a one-hour log holds tens of thousands of them.
Stamp stampAtEnd(const QStringRef &line, qint64 *timeMs)
{
    if (line.size() < stampLength || !line.endsWith(QLatin1Char(']')))
        return Stamp::None;
    const QStringRef s = line.right(stampLength);
    if (s.at(0) != QLatin1Char('[') || s.at(5) != QLatin1Char('-') || s.at(8) != QLatin1Char('-')
        || s.at(11) != QLatin1Char(' ') || s.at(14) != QLatin1Char(':') || s.at(17) != QLatin1Char(':')
        || s.at(20) != QLatin1Char('.'))
        return Stamp::None;
    int year, month, day, hour, minute, second, millisecond;
    if (!digitsAt(s, 1, 4, &year) || !digitsAt(s, 6, 2, &month) || !digitsAt(s, 9, 2, &day)
        || !digitsAt(s, 12, 2, &hour) || !digitsAt(s, 15, 2, &minute) || !digitsAt(s, 18, 2, &second)
        || !digitsAt(s, 21, 3, &millisecond))
        return Stamp::None;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, millisecond);
    if (!date.isValid() || !time.isValid())
        return Stamp::Invalid;
    *timeMs = QDateTime(date, time, Qt::LocalTime).toMSecsSinceEpoch();
    return Stamp::Valid;
}

bool hasControlCharacters(const QStringRef &line)
{
    for (const QChar c : line) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r'))
            return true;
    }
    return false;
}

Result failure(Problem problem, int line)
{
    Result result;
    result.problem = problem;
    result.line = line;
    return result;
}

} // namespace

Result parse(const QString &text)
{
    Result result;
    const QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    // A file ending in a line feed yields one empty piece after it.
    const int lineCount = (!lines.isEmpty() && lines.last().isEmpty()) ? lines.size() - 1 : lines.size();

    QString block;
    int entryLine = 0; // line of the current entry's stamp; 0 before the first
    qint64 entryTime = 0;
    const auto finishEntry = [&]() {
        if (!block.contains(QLatin1String("dataAverage=")))
            return false;
        result.entries.append({entryTime, MonitorParser::parse(block)});
        block.clear();
        return true;
    };

    for (int index = 0; index < lineCount; ++index) {
        QStringRef line = lines.at(index);
        // Written in text mode on Windows, read here as bytes.
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const int number = index + 1;
        if (hasControlCharacters(line))
            return failure(Problem::NotText, number);
        qint64 time = 0;
        const Stamp stamp = stampAtEnd(line, &time);
        if (stamp == Stamp::Invalid)
            return failure(Problem::BadTimeStamp, number);
        if (stamp == Stamp::None) {
            if (entryLine == 0) {
                // Blank lines before the first entry are harmless; any text is not.
                if (line.trimmed().isEmpty())
                    continue;
                return failure(Problem::NoTimeStamp, number);
            }
            block += line;
            block += QLatin1Char('\n');
            continue;
        }
        if (entryLine == 0 && line.size() > stampLength)
            return failure(Problem::NoTimeStamp, number);
        block += line.left(line.size() - stampLength);
        if (entryLine != 0 && !finishEntry())
            return failure(Problem::UnfinishedBlock, entryLine);
        entryLine = number;
        entryTime = time;
    }
    if (entryLine == 0)
        return failure(Problem::Empty, 0);
    if (!finishEntry())
        return failure(Problem::UnfinishedBlock, entryLine);

    // A log continued across a clock change is still shown in time order.
    std::stable_sort(result.entries.begin(), result.entries.end(),
                     [](const Entry &a, const Entry &b) { return a.timeMs < b.timeMs; });
    return result;
}

Result read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result result = failure(Problem::Unreadable, 0);
        result.systemError = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        Result result = failure(Problem::Unreadable, 0);
        result.systemError = file.errorString();
        return result;
    }
    return parse(QTextCodec::codecForLocale()->toUnicode(bytes));
}

} // namespace TrendLog
