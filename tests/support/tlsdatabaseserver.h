#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private MariaDB server with TLS for the tests of the encrypted link: its
// certificate is issued for the host by a test CA made with openssl at start,
// beside a second CA that issued nothing the server holds. Holds "RVKSSUdb"
// and "RVKuser" with the test password and the program's rights; listens on
// host at a free port; stopped by the destructor. Small and quick to start:
// a fresh data folder, a small buffer pool, no name resolution.
class TlsDatabaseServer
{
public:
    // The certificate names certificateName (the host when empty): a
    // certificate the right CA issued to another host.
    explicit TlsDatabaseServer(const QString &host, const QString &certificateName = QString());
    ~TlsDatabaseServer();

    // False with the reason when openssl or the server failed.
    bool start(QString *error);
    int port() const { return m_port; }
    // The CA that issued the server's certificate, and the other one.
    QString caFile() const;
    QString otherCaFile() const;

private:
    bool run(const QString &program, const QStringList &arguments, QString *error, const QByteArray &input = {});

    QString m_host;
    QString m_certificateName;
    int m_port = 0;
    QTemporaryDir m_dir;
    QProcess m_server;
};
