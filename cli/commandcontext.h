#pragma once

#include "cli/commandline.h"
#include "protocol/attempt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>
#include <functional>

#include "station/readout.h"

#include <optional>

class SsuSession;
class Station;

// A read-out takes well under a second; storing it adds the SSU's own bounds
// (password download, connection, statement).
constexpr int ReadoutTimeoutMs = 10000;
constexpr int StorageTimeoutMs = 120000;
// Beyond the driver's own bound on a connecting bus.
constexpr int LinkConnectTimeoutMs = 3000;

// What every command is handed: its parsed options, the two streams, the
// language and the hooks.
struct CommandContext
{
    QCommandLineParser &parser;
    QTextStream &out;
    QTextStream &err;
    const CommandLineHooks &hooks;
    QLocale language;
};

// Texts of the command line, in one translation context.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

// Runs the event loop until done() holds or the time is up; false then.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// One report asked for and waited for. sent: the request went out;
// silentAfter: the frames received when the module fell silent (-1: it did
// not); readout: the transfer that ended, whole or not.
struct ReadoutWait
{
    bool sent = false;
    int silentAfter = -1;
    std::optional<Readout> readout;
};
ReadoutWait readReport(Station &station, bool silent);

// Opens the adapter link for a command: the named adapter, or as the window
// does at start (the adapter chosen last, or the lone interface). Failed,
// with the line for err, when it does not come up.
Attempt<> openLink(Station &station, const CommandContext &context);

// Points the session where the hooks say, fetches the password if none is
// known and connects, checking the table (its row key learnt) as the
// window's log-in does. Failed, with the line for err, when the SSU cannot
// be reached.
Attempt<> connectSession(SsuSession &session, const CommandContext &context);

int adaptersCommand(CommandContext &context);
int readCommand(CommandContext &context);
int writeCommand(CommandContext &context);
int monitorCommand(CommandContext &context);
int exportCommand(CommandContext &context);
int uploadCommand(CommandContext &context);
