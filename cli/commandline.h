#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

class SsuSession;

// The exit codes of rvk-report, the same on every platform.
namespace ExitCode {
enum : int {
    Done = 0,
    Failed = 1,       // the work could not be done (a file, a bad answer)
    Usage = 2,        // the command line was not understood
    NoAdapter = 3,    // no adapter link came up
    NoAnswer = 4,     // no module answered (no frame, no acknowledgement)
    Incomplete = 5,   // the report transfer lost or gained frames
    ArchivedOnly = 6, // read, but the SSU did not take it: it waits in the archive
    NotKept = 7,      // read, but neither the SSU nor the archive took it
    Mismatch = 8,     // the factory values read back differ from those written
    Database = 9,     // the SSU could not be reached or queried
};
}

// Where the command line's session is pointed before it is used; the
// deployment values when nothing is done (tests point it at their own).
struct CommandLineHooks
{
    std::function<void(SsuSession *)> prepareSession;
};

// Runs one rvk-report command line (without the program name); results go
// to out, progress and errors to err. Returns the exit code.
int runCommandLine(const QStringList &arguments, QTextStream &out, QTextStream &err,
                   const CommandLineHooks &hooks = {});
