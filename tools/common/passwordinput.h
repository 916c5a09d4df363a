#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QTextStream>

// How the administrator's tools take a password: from the first line of the
// file given with fileOption, or of standard input without it; never from the
// command line, where other users would see it in the process list and the
// shell keeps it in its history.
enum class PasswordInput { Read, OnCommandLine, Unreadable, Empty };

// Reads the password, telling on err, under the program's name, what is
// wrong when it cannot. A positional argument, or any of the refused options
// (a --password the user might try), counts as the command line; the first
// commandWords positional arguments name a command and its operands, which
// the caller has checked, and do not.
PasswordInput readPassword(const QString &program, const QCommandLineParser &parser,
                           const QCommandLineOption &fileOption, QString *password, QTextStream &err,
                           const QList<QCommandLineOption> &refused = {}, int commandWords = 0);
