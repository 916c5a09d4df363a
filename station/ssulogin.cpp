#include "station/ssulogin.h"

#include "protocol/programidentity.h"
#include "ssu/deployment.h"
#include "ssu/privatesettings.h"
#include "ssu/ssusession.h"
#include "ssu/tokencipher.h"

#include <QPointer>
#include <QSettings>

namespace {
const char *const tokenKey = "Settings/SSUid";

} // namespace

namespace SsuLogin {

QString storedToken()
{
    return ProgramIdentity::nativeSettings().value(QLatin1String(tokenKey)).toString();
}

namespace {
// The token against the password the session now knows.
Outcome check(const QString &token, const QString &plain, const QString &password)
{
    // The token opens the SSU: only its user may read it.
    QSettings settings = ProgramIdentity::nativeSettings();
    makeSettingsPrivate(settings);
    // A token that does not decrypt never matches, even when the password
    // file did not decrypt either.
    if (token.isEmpty() || plain.isEmpty() || plain != password) {
        settings.setValue(QLatin1String(tokenKey), QString());
        return Outcome::Refused;
    }
    if (settings.value(QLatin1String(tokenKey)).toString().isEmpty())
        settings.setValue(QLatin1String(tokenKey), token);
    return Outcome::Granted;
}
} // namespace

void logIn(SsuSession *session, const QString &token, QObject *context, std::function<void(Outcome)> done)
{
    if (token.size() == 1) {
        QMetaObject::invokeMethod(context, [done] { done(Outcome::Malformed); }, Qt::QueuedConnection);
        return;
    }
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    const QString plain = token.size() >= 2 ? cipher.decryptText(token) : QString();

    QPointer<SsuSession> ssu(session);
    session->fetchPasswordIfMissing(context, [ssu, context, token, plain, done](bool) {
        if (!ssu)
            return;
        ssu->connectAndCreateTable(context, [ssu, token, plain, done](bool connected) {
            if (!connected || !ssu) {
                done(Outcome::NoConnection);
                return;
            }
            done(check(token, plain, ssu->dbPassword()));
        });
    });
}

} // namespace SsuLogin
