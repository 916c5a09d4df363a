#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslError>
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

    // Whether the errors Qt reported for a pinned download are only those of
    // a CA list Schannel could not be given, and the peer's chain, built by
    // the system's own chain engine from the peer's certificates and the
    // pinned ones, ends at a pinned CA with nothing else wrong. Qt hands its
    // CA list to Schannel as a PKCS#12 store without a key, which some
    // Schannel implementations (Wine's) refuse to import; the chain then
    // stops short of the CA, and the download would fail although the server
    // is the right one. A host name that does not match, an expired
    // certificate or any other error is never excused. Always false where
    // Qt verifies through OpenSSL, which takes the CA list as it is.
    static bool excusedOnWindows(const QList<QSslError> &errors, const QList<QSslCertificate> &peerChain,
                                 const QList<QSslCertificate> &pinned);
};
