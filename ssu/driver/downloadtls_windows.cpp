#include "ssu/driver/downloadtls.h"

#include <windows.h>
#include <wincrypt.h>

#include <memory>

namespace {
struct StoreCloser
{
    void operator()(void *store) const { CertCloseStore(store, 0); }
};
struct ContextFreer
{
    void operator()(const CERT_CONTEXT *context) const { CertFreeCertificateContext(context); }
};
struct ChainFreer
{
    void operator()(const CERT_CHAIN_CONTEXT *chain) const { CertFreeCertificateChain(chain); }
};
using Store = std::unique_ptr<void, StoreCloser>;
using Context = std::unique_ptr<const CERT_CONTEXT, ContextFreer>;
using Chain = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer>;

// What Qt reports when its CA list never reached the chain engine: the issuer
// is nowhere, or the chain ends at a root nobody trusts.
bool onlyMissingCaErrors(const QList<QSslError> &errors)
{
    for (const QSslError &error : errors) {
        if (error.error() != QSslError::UnableToGetIssuerCertificate
            && error.error() != QSslError::CertificateUntrusted)
            return false;
    }
    return !errors.isEmpty();
}

bool addTo(void *store, const QSslCertificate &certificate, const CERT_CONTEXT **added = nullptr)
{
    const QByteArray der = certificate.toDer();
    return CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                                            reinterpret_cast<const BYTE *>(der.constData()), DWORD(der.size()),
                                            CERT_STORE_ADD_USE_EXISTING, added);
}
} // namespace

bool DownloadTls::excusedOnWindows(const QList<QSslError> &errors, const QList<QSslCertificate> &peerChain,
                                   const QList<QSslCertificate> &pinned)
{
    if (!onlyMissingCaErrors(errors) || peerChain.isEmpty() || pinned.isEmpty())
        return false;
    const Store store(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
    if (!store)
        return false;
    const CERT_CONTEXT *leafContext = nullptr;
    if (!addTo(store.get(), peerChain.first(), &leafContext))
        return false;
    const Context leaf(leafContext);
    for (const QSslCertificate &certificate : peerChain.mid(1) + pinned) {
        if (!addTo(store.get(), certificate))
            return false;
    }

    CERT_CHAIN_PARA parameters = {};
    parameters.cbSize = sizeof(parameters);
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    LPSTR serverAuth = const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH);
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = &serverAuth;
    const CERT_CHAIN_CONTEXT *chainContext = nullptr;
    if (!CertGetCertificateChain(nullptr, leaf.get(), nullptr, store.get(), &parameters, 0, nullptr, &chainContext)
        || !chainContext)
        return false;
    const Chain chain(chainContext);
    if (chain->cChain == 0)
        return false;
    // The root may be untrusted by the system (it is the plant's own CA) and
    // its revocation unknown; nothing else may be wrong.
    const DWORD tolerated = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_REVOCATION_STATUS_UNKNOWN
                            | CERT_TRUST_IS_OFFLINE_REVOCATION;
    if (chain->TrustStatus.dwErrorStatus & ~tolerated)
        return false;
    const CERT_SIMPLE_CHAIN *simple = chain->rgpChain[chain->cChain - 1];
    if (simple->cElement == 0)
        return false;
    // The chain must end at a pinned CA, not at a root the system trusts.
    const CERT_CONTEXT *root = simple->rgpElement[simple->cElement - 1]->pCertContext;
    const QByteArray rootDer(reinterpret_cast<const char *>(root->pbCertEncoded), int(root->cbCertEncoded));
    for (const QSslCertificate &certificate : pinned) {
        if (certificate.toDer() == rootDer)
            return true;
    }
    return false;
}
