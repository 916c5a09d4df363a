#include "ssu/driver/downloadtls.h"

#include <QFile>
#include <QSslCertificate>

std::optional<QSslConfiguration> DownloadTls::pinnedTo(const QString &caFile, const QUrl &url, QString *error)
{
    if (url.scheme() != QLatin1String("https")) {
        *error = QStringLiteral("the password server's CA is set, but %1 is not an https address")
                     .arg(url.toDisplayString());
        return std::nullopt;
    }
    QFile file(caFile);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the password server's CA file %1: %2").arg(caFile, file.errorString());
        return std::nullopt;
    }
    const QList<QSslCertificate> certificates = QSslCertificate::fromDevice(&file, QSsl::Pem);
    if (certificates.isEmpty()) {
        *error = QStringLiteral("the password server's CA file %1 holds no PEM certificate").arg(caFile);
        return std::nullopt;
    }
    // From the default configuration for its protocols and peer verification;
    // the CA list is replaced, which also stops Qt from loading the system's
    // roots on demand.
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates(certificates);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    return configuration;
}
