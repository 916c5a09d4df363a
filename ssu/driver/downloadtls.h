#pragma once

#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <optional>

// The TLS settings of the password download when the deployment names the
// CA of the web server's certificate (RVK_SSU_WEB_CA): that CA alone is
// trusted, not the station's system store, so a certificate another CA
// issued for the host, by mistake or on purpose, is refused. Qt still
// checks the certificate's host name and verifies the peer.
class DownloadTls
{
public:
    // The configuration for fetching url that trusts only the certificates
    // in the PEM file caFile. None, with the reason in *error, when the file
    // cannot be read or holds no certificate, or url is not https: the
    // download must then not happen at all, rather than fall back to the
    // system store or to no TLS.
    static std::optional<QSslConfiguration> pinnedTo(const QString &caFile, const QUrl &url, QString *error);
};
