// rvk-ssu-token: the encrypting side of the SSU password download and the
// login tokens. Both are encryptions of the database password with the
// deployment key; every token gets a fresh random byte, so tokens handed to
// different users differ while all of them open the SSU.

#include "keytext.h"
#include "passwordinput.h"
#include "ssu/deployment.h"
#include "ssu/tokencipher.h"
#include "ssu/tokenencoder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

// The key from the first line of a file: on the command line it would show
// in the process list and the shell history, as the password would.
int readKey(const QString &fileName, quint64 *key, QTextStream &err)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        err << "rvk-ssu-token: cannot read the key file " << fileName << ": " << file.errorString() << '\n';
        return 1;
    }
    if (!parseKeyText(QString::fromLatin1(file.readLine(256)), key)) {
        err << "rvk-ssu-token: the first line of " << fileName
            << " must be the key, a hexadecimal number of at most 16 digits\n";
        return 2;
    }
    return 0;
}

bool writePasswordFile(TokenEncoder &encoder, const QString &password, const QString &fileName, QTextStream &err)
{
    QSaveFile file(fileName);
    const QByteArray content = encoder.encryptText(password).toLatin1() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        err << "rvk-ssu-token: cannot write " << fileName << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

// Every token is checked against the program's own decryption, so a
// mistyped key cannot produce tokens that fail only at the station.
bool printTokens(TokenEncoder &encoder, quint64 key, const QString &password, int count, QTextStream &out,
                 QTextStream &err)
{
    TokenCipher check;
    check.setKey(key);
    for (int i = 0; i < count; ++i) {
        const QString token = encoder.encryptText(password);
        if (check.decryptText(token) != password) {
            err << "rvk-ssu-token: internal error: a token does not decrypt\n";
            return false;
        }
        out << token << '\n';
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rvk-ssu-token"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Encrypts the SSU database password for the stations: writes the password file to be served as "
        "/downloads/ssu.pas and prints login tokens. The password is read from the first line of standard "
        "input, or of the file given with --password-file; the key is the build's own, or the first line of "
        "the file given with --key-file. Neither is ever taken from the command line, where other users and the "
        "shell history would see it."));
    parser.addHelpOption();
    const QCommandLineOption keyFileOption(
        QStringLiteral("key-file"),
        QStringLiteral("Read the 64-bit key in hexadecimal from the first line of <file> (default: the key this build "
                       "was configured with, RVK_SSU_KEY). The key is never taken from the command line."),
        QStringLiteral("file"));
    const QCommandLineOption outputOption({QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write the password file to <file>."), QStringLiteral("file"));
    const QCommandLineOption tokensOption({QStringLiteral("t"), QStringLiteral("tokens")},
                                          QStringLiteral("Print <n> login tokens (default 1)."), QStringLiteral("n"),
                                          QStringLiteral("1"));
    const QCommandLineOption hashOption(QStringLiteral("hash"),
                                        QStringLiteral("Protect with a SHA-1 digest instead of a CRC-16 checksum."));
    const QCommandLineOption compressOption(QStringLiteral("compress"), QStringLiteral("Compress the password."));
    const QCommandLineOption passwordFileOption(
        QStringLiteral("password-file"),
        QStringLiteral("Read the database password of RVKuser from the first line of <file> instead of standard input."),
        QStringLiteral("file"));
    parser.addOptions({keyFileOption, outputOption, tokensOption, hashOption, compressOption, passwordFileOption});
    parser.process(app);

    quint64 key = Deployment::key();
    if (parser.isSet(keyFileOption)) {
        if (const int problem = readKey(parser.value(keyFileOption), &key, err))
            return problem;
    }
    bool countOk = false;
    const int tokenCount = parser.value(tokensOption).toInt(&countOk);
    if (!countOk || tokenCount < 0) {
        err << "rvk-ssu-token: the number of tokens must be 0 or more\n";
        return 2;
    }
    QString password;
    switch (readPassword(QStringLiteral("rvk-ssu-token"), parser, passwordFileOption, &password, err)) {
    case PasswordInput::Read:
        break;
    case PasswordInput::Unreadable:
        return 1;
    default:
        return 2;
    }

    TokenEncoder encoder(key);
    encoder.setIntegrity(parser.isSet(hashOption) ? TokenEncoder::Hash : TokenEncoder::Checksum);
    encoder.setCompressed(parser.isSet(compressOption));
    if (parser.isSet(outputOption) && !writePasswordFile(encoder, password, parser.value(outputOption), err))
        return 1;
    return printTokens(encoder, key, password, tokenCount, out, err) ? 0 : 1;
}
