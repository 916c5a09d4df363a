#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QIODevice;

// Every CSV file the program writes (the history, the fleet, the export, the
// monitor's read-outs) is written through this one writer, so that they share
// one form: UTF-8, "," between cells, a field quoted (its quotes doubled)
// exactly when it holds a comma, a quote, a line feed or a carriage return,
// "\n" after every line, "." as the decimal point, and one text per kind of
// date. A cell a spreadsheet would take for a formula (one starting with "=",
// "+", "-", "@", a tab or a carriage return) gets a leading "'", so that it
// opens as the text that was stored; a plain decimal number ("-3.5", what
// number() writes) is no formula and stays as it is, so the program's own
// figures need no path of their own.
class CsvWriter
{
public:
    static constexpr char LineEnd = '\n';

    // One cell as written. Every cell passes through here: a rule that has to
    // change what a spreadsheet makes of a cell belongs here and nowhere else.
    static QByteArray field(const QByteArray &cell);
    static QByteArray field(const QString &text) { return field(text.toUtf8()); }

    // A time the module or station noted without a zone (the report date):
    // "yyyy-MM-ddTHH:mm:ss", the fields as they stand, whatever their spec.
    static QString wallClock(const QDateTime &when);
    // A day (the release date): "yyyy-MM-dd".
    static QString day(const QDate &date);
    // A moment of the PC's clock, in UTC: "yyyy-MM-ddTHH:mm:ss.zzzZ".
    static QString instant(const QDateTime &when);
    // A figure with the given decimals; empty for NaN (a figure not known).
    static QString number(double value, int decimals);

    // Appends one line of cells.
    void addRow(const QStringList &cells);
    void addRow(const QList<QByteArray> &utf8Cells);
    const QByteArray &bytes() const { return text; }
    void clear() { text.clear(); }
    // Writes what was added and clears it; false when the device does not
    // take it all, or (a file) cannot flush it.
    bool writeTo(QIODevice *device);

private:
    QByteArray text;
};
