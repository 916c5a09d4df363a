#include "tests/support/httpfileserver.h"

#include <QTcpSocket>

HttpFileServer::HttpFileServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, SIGNAL(newConnection()), this, SLOT(acceptConnection()));
    m_server.listen(QHostAddress::LocalHost, 0);
}

void HttpFileServer::serve(const QString &path, const QByteArray &body)
{
    m_files.insert(path, body);
}

void HttpFileServer::remove(const QString &path)
{
    m_files.remove(path);
}

QUrl HttpFileServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

QUrl HttpFileServer::unreachableUrl(const QString &path)
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path));
}

void HttpFileServer::acceptConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket]() {
            const QByteArray request = socket->peek(socket->bytesAvailable());
            if (!request.contains("\r\n\r\n"))
                return; // the header is not complete yet
            socket->readAll();
            const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
            const QString path = QString::fromLatin1(requestLine.value(1));
            requestedPaths.append(path);
            QByteArray response;
            if (m_files.contains(path)) {
                const QByteArray body = m_files.value(path);
                response = "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
            } else {
                response = "HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
            }
            socket->write(response);
            socket->disconnectFromHost();
        });
    }
}
