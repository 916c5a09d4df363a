#include "tests/support/httpsfileserver.h"

#include <QFile>
#include <QSslSocket>

namespace {
QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

HttpsFileServer::HttpsFileServer(const QHostAddress &address, QObject *parent)
    : QTcpServer(parent)
    , m_address(address)
{
}

bool HttpsFileServer::start(const QString &certificateFile, const QString &keyFile)
{
    if (!certificateFile.isEmpty()) {
        m_certificate = QSslCertificate(readFile(certificateFile), QSsl::Pem);
        m_key = QSslKey(readFile(keyFile), QSsl::Ec, QSsl::Pem);
        if (m_certificate.isNull() || m_key.isNull())
            return false;
    }
    return listen(m_address, 0);
}

void HttpsFileServer::serve(const QString &path, const QByteArray &body)
{
    m_path = path;
    m_body = body;
}

QUrl HttpsFileServer::url() const
{
    QUrl url;
    url.setScheme(m_certificate.isNull() ? QStringLiteral("http") : QStringLiteral("https"));
    url.setHost(m_address.toString());
    url.setPort(serverPort());
    url.setPath(m_path);
    return url;
}

void HttpsFileServer::incomingConnection(qintptr descriptor)
{
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // A client that refuses the certificate closes the connection in the
    // handshake; the socket then goes with its disconnection.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
    if (!m_certificate.isNull()) {
        socket->setLocalCertificate(m_certificate);
        socket->setPrivateKey(m_key);
        socket->startServerEncryption();
    }
}

void HttpsFileServer::answer(QTcpSocket *socket)
{
    const QByteArray request = socket->peek(socket->bytesAvailable());
    if (!request.contains("\r\n\r\n"))
        return; // the header is not complete yet
    socket->readAll();
    ++requests;
    const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1);
    const QByteArray response = path == m_path.toLatin1()
        ? "HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n"
            + m_body
        : QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    socket->write(response);
    socket->disconnectFromHost();
}
