#pragma once

#include "diagnostics/monitorparser.h"

#include <QString>
#include <QVector>
#include <QtGlobal>

// Reads a monitor log file back: entries of a time stamp line
// "[yyyy-MM-dd hh:mm:ss.zzz]" and one completed block of monitor text each.
// A file that is not such a log, or is damaged, is refused as a whole with
// the line where reading stopped, never returned half read.
namespace TrendLog {

enum class Problem {
    None,
    Unreadable,     // the file could not be opened or read
    Empty,          // no entry at all
    NoTimeStamp,    // the file does not begin with a time stamp line
    BadTimeStamp,   // a time stamp line names no valid local time
    UnfinishedBlock, // an entry lacks the "dataAverage=" line every block ends with
    NotText,        // control characters: a binary or overwritten file
};

struct Entry
{
    qint64 timeMs = 0; // local time stamp, milliseconds since the epoch
    QVector<MonitorParser::Reading> readings;
};

struct Result
{
    Problem problem = Problem::None;
    int line = 0;        // 1-based line of the problem; 0 where no line applies
    QString systemError; // for Unreadable
    QVector<Entry> entries; // ordered by time; empty unless problem is None
};

// The file is decoded with the locale's codec, as the monitor writes it.
Result read(const QString &path);

// The same rules on text already in memory.
Result parse(const QString &text);

} // namespace TrendLog
