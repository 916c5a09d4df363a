#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <QUrl>

// An HTTP/1.0 server over TLS on the given address for the password
// download: one path answers with its body and status 200, any other with
// 404. It presents the certificate and key given to start(); without
// them it speaks plain HTTP. It listens on a free port.
class HttpsFileServer : public QTcpServer
{
    Q_OBJECT
public:
    explicit HttpsFileServer(const QHostAddress &address, QObject *parent = nullptr);

    // False when the files hold no certificate or key, or nothing listens.
    bool start(const QString &certificateFile, const QString &keyFile);
    void serve(const QString &path, const QByteArray &body);
    // The address with the scheme it speaks.
    QUrl url() const;

    // Requests that arrived completely (over an established TLS session).
    int requests = 0;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void answer(QTcpSocket *socket);

    QHostAddress m_address;
    QSslCertificate m_certificate;
    QSslKey m_key;
    QString m_path;
    QByteArray m_body;
};
