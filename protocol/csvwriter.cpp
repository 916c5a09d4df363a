#include "protocol/csvwriter.h"

#include <QFileDevice>
#include <QIODevice>

#include <cmath>

namespace {
// What number() writes: an optional minus, digits, an optional point and
// digits. A spreadsheet reads it as the number it is, whoever wrote the cell.
bool isPlainNumber(const QByteArray &utf8)
{
    int i = utf8.startsWith('-') ? 1 : 0;
    const int integerStart = i;
    while (i < utf8.size() && utf8.at(i) >= '0' && utf8.at(i) <= '9')
        ++i;
    if (i == integerStart)
        return false;
    if (i == utf8.size())
        return true;
    if (utf8.at(i) != '.' || ++i == utf8.size())
        return false;
    while (i < utf8.size() && utf8.at(i) >= '0' && utf8.at(i) <= '9')
        ++i;
    return i == utf8.size();
}

// Spreadsheets take a cell starting with one of these for a formula (a tab or
// carriage return is skipped by some before they look), and a formula can
// fetch URLs or start programs. The leading apostrophe makes the cell text.
bool looksLikeFormula(const QByteArray &utf8)
{
    if (utf8.isEmpty())
        return false;
    switch (utf8.at(0)) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return !isPlainNumber(utf8);
    default:
        return false;
    }
}
} // namespace

QByteArray CsvWriter::field(const QByteArray &cell)
{
    const QByteArray utf8 = looksLikeFormula(cell) ? '\'' + cell : cell;
    // The quoted characters are ASCII, which UTF-8 never uses inside a
    // longer character.
    bool quote = false;
    for (const char c : utf8) {
        if (c == ',' || c == '"' || c == '\n' || c == '\r') {
            quote = true;
            break;
        }
    }
    if (!quote)
        return utf8;
    QByteArray quoted = utf8;
    quoted.replace('"', "\"\"");
    return '"' + quoted + '"';
}

QString CsvWriter::wallClock(const QDateTime &when)
{
    if (!when.isValid())
        return QString();
    return when.date().toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('T')
        + when.time().toString(QStringLiteral("HH:mm:ss"));
}

QString CsvWriter::day(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString CsvWriter::instant(const QDateTime &when)
{
    return when.isValid() ? when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")) : QString();
}

QString CsvWriter::number(double value, int decimals)
{
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

void CsvWriter::addRow(const QStringList &cells)
{
    for (int i = 0; i < cells.size(); ++i) {
        if (i > 0)
            text += ',';
        text += field(cells.at(i));
    }
    text += LineEnd;
}

void CsvWriter::addRow(const QList<QByteArray> &utf8Cells)
{
    for (int i = 0; i < utf8Cells.size(); ++i) {
        if (i > 0)
            text += ',';
        text += field(utf8Cells.at(i));
    }
    text += LineEnd;
}

bool CsvWriter::writeTo(QIODevice *device)
{
    if (!device || !device->isWritable())
        return false;
    const bool written = device->write(text) == text.size();
    text.clear();
    if (!written)
        return false;
    // A full disk shows only when a file's buffer is written out.
    auto *file = qobject_cast<QFileDevice *>(device);
    return !file || file->flush();
}
