#include "protocol/csvwriter.h"

#include <QFileDevice>
#include <QIODevice>

#include <cmath>

QByteArray CsvWriter::field(const QByteArray &utf8)
{
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
