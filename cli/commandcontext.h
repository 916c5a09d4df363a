#pragma once

#include "cli/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>
#include <functional>

class Station;

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

// Opens the adapter link for a command: the named adapter, or as the window
// does at start (the adapter chosen last, or the lone interface). Tells on
// err and returns false when it does not come up.
bool openLink(Station &station, const CommandContext &context);

int adaptersCommand(CommandContext &context);
int readCommand(CommandContext &context);
int writeCommand(CommandContext &context);
int monitorCommand(CommandContext &context);
int exportCommand(CommandContext &context);
