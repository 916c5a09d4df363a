// rvk-archive-upload: stores the report of an archive file as the Linux
// build does (SsuSession, the password downloaded and decrypted with this
// build's key), so the end-to-end run under Wine can compare the row the
// Windows program stored with the Linux build's. The date comes from the
// file's name, as the uploader takes it.
//
//     rvk-archive-upload <password file url> <host:port> <archive file>

#include "tests/support/sessioncalls.h"
#include "protocol/archivefile.h"
#include "ssu/ssusession.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const QStringList server = arguments.value(2).split(QLatin1Char(':'));
    QByteArray record;
    if (arguments.size() != 4 || server.size() != 2 || !ArchiveFile::read(arguments[3], &record)) {
        std::fprintf(stderr, "usage: rvk-archive-upload <password file url> <host:port> <archive file>\n");
        return 2;
    }
    SsuSession session;
    session.setDownloadUrl(QUrl(arguments[1]));
    session.setDatabaseServer(server[0], server[1].toInt(), QString());
    if (!rvktest::Sync::fetchPassword(&session) || !rvktest::Sync::connectAndCreateTable(&session)) {
        std::fprintf(stderr, "rvk-archive-upload: no connection to %s\n", qPrintable(arguments[2]));
        return 1;
    }
    session.setReportDateFromFileName(QFileInfo(arguments[3]).fileName());
    if (!rvktest::Sync::upload(&session, record)) {
        std::fprintf(stderr, "rvk-archive-upload: the report was not stored\n");
        return 1;
    }
    return 0;
}
