#include "passwordinput.h"

#include <QFile>

PasswordInput readPassword(const QString &program, const QCommandLineParser &parser,
                           const QCommandLineOption &fileOption, QString *password, QTextStream &err,
                           const QList<QCommandLineOption> &refused, int commandWords)
{
    bool onCommandLine = parser.positionalArguments().size() > commandWords;
    for (const QCommandLineOption &option : refused)
        onCommandLine = onCommandLine || parser.isSet(option);
    if (onCommandLine) {
        err << program << ": the password is not taken from the command line; give it on standard input "
                          "or with --password-file\n";
        return PasswordInput::OnCommandLine;
    }
    if (parser.isSet(fileOption)) {
        QFile file(parser.value(fileOption));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            err << program << ": cannot read " << file.fileName() << ": " << file.errorString() << '\n';
            return PasswordInput::Unreadable;
        }
        *password = QString::fromUtf8(file.readLine(4096));
        // A file saved on Windows ends its line with CR LF.
        while (password->endsWith(QLatin1Char('\n')) || password->endsWith(QLatin1Char('\r')))
            password->chop(1);
    } else {
        *password = QTextStream(stdin).readLine();
    }
    if (password->isEmpty()) {
        err << program << ": the password is empty\n";
        return PasswordInput::Empty;
    }
    return PasswordInput::Read;
}
