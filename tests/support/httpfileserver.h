#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

// A tiny HTTP/1.0 server on 127.0.0.1 for the password download: each path
// answers with the body given to serve() and status 200, any other path with
// 404. It listens on a free port from construction on.
//
//   HttpFileServer server;
//   server.serve("/downloads/ssu.pas", rvktest::passwordFile("secret"));
//   dialog.setDownloadUrl(server.url("/downloads/ssu.pas"));
class HttpFileServer : public QObject
{
    Q_OBJECT
public:
    explicit HttpFileServer(QObject *parent = nullptr);

    void serve(const QString &path, const QByteArray &body);
    void remove(const QString &path);
    QUrl url(const QString &path) const;

    // A URL on a local port where nothing listens, for "server down".
    static QUrl unreachableUrl(const QString &path);

    QStringList requestedPaths;

private slots:
    void acceptConnection();

private:
    QTcpServer m_server;
    QHash<QString, QByteArray> m_files;
};
