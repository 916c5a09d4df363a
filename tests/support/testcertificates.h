#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Certificate authorities and the server certificates they issue, made with
// openssl in a temporary folder for the tests of TLS links: small EC keys,
// valid for two days. Each file is <name>.pem with its key in <name>.key.
class TestCertificates
{
public:
    TestCertificates();

    // A self-signed CA. False with the reason when openssl failed.
    bool makeCa(const QString &name, QString *error);
    // A server certificate for the address host (its common name and its
    // subject alternative name), issued by the CA ca.
    bool issue(const QString &ca, const QString &name, const QString &host, QString *error);
    QString certificate(const QString &name) const;
    QString key(const QString &name) const;
    // A file of this folder, for tests that need one of their own.
    QString path(const QString &file) const;

private:
    bool openssl(const QStringList &arguments, QString *error);

    QTemporaryDir m_dir;
};
