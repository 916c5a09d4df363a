#include "station/ssulogin.h"

#include "protocol/programidentity.h"
#include "ssu/deployment.h"
#include "ssu/privatesettings.h"
#include "ssu/ssusession.h"
#include "ssu/tokencipher.h"

#include <QSettings>

namespace {
const char *const tokenKey = "Settings/SSUid";

} // namespace

namespace SsuLogin {

QString storedToken()
{
    return ProgramIdentity::nativeSettings().value(QLatin1String(tokenKey)).toString();
}

Outcome logIn(SsuSession *session, const QString &token)
{
    if (token.size() == 1)
        return Outcome::Malformed;
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    const QString plain = token.size() >= 2 ? cipher.decryptText(token) : QString();

    session->fetchPasswordIfMissing();
    if (!session->connectAndCreateTable())
        return Outcome::NoConnection;

    // The token opens the SSU: only its user may read it.
    QSettings settings = ProgramIdentity::nativeSettings();
    makeSettingsPrivate(settings);
    // A token that does not decrypt never matches, even when the password
    // file did not decrypt either.
    if (token.isEmpty() || plain.isEmpty() || plain != session->dbPassword()) {
        settings.setValue(QLatin1String(tokenKey), QString());
        return Outcome::Refused;
    }
    if (settings.value(QLatin1String(tokenKey)).toString().isEmpty())
        settings.setValue(QLatin1String(tokenKey), token);
    return Outcome::Granted;
}

} // namespace SsuLogin
