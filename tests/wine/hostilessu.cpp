// rvk-hostile-ssu: an impostor SSU database for the Windows program's run
// under Wine. It accepts any login and answers every statement that reads the
// reports with a request for a local file, as a server on the plant network
// might; everything the clients sent is written to a file, so the run can
// check that the file's bytes never left the station.
//
//     rvk-hostile-ssu <address> <port> <file to ask for> <file for what clients sent>
//
// It prints "listening" once it does, and runs until it is terminated.

#include "tests/support/hostiledatabaseserver.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    bool portOk = false;
    const quint16 port = arguments.size() == 5 ? arguments[2].toUShort(&portOk) : 0;
    if (!portOk || port == 0) {
        std::fprintf(stderr, "usage: rvk-hostile-ssu <address> <port> <file to ask for> <file for what clients sent>\n");
        return 2;
    }
    const QByteArray asked = arguments[3].toUtf8();
    HostileDatabaseServer::Script script;
    script.answer = [asked](const QByteArray &statement) {
        HostileDatabaseServer::Answer answer;
        if (statement.contains("rvkreport")) {
            answer.kind = HostileDatabaseServer::Answer::LocalFile;
            answer.fileName = asked;
        }
        return answer;
    };
    HostileDatabaseServer server(QHostAddress(arguments[1]), script, port);
    if (server.port() != port) {
        std::fprintf(stderr, "rvk-hostile-ssu: cannot listen on %s:%u\n", qPrintable(arguments[1]), port);
        return 1;
    }
    std::printf("listening\n");
    std::fflush(stdout);
    // What arrived so far, kept current for the run that reads it.
    const QString receivedPath = arguments[4];
    QTimer keep;
    QObject::connect(&keep, &QTimer::timeout, [&server, receivedPath] {
        QSaveFile file(receivedPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(server.received());
            file.commit();
        }
    });
    keep.start(100);
    return application.exec();
}
