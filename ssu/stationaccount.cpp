#include "ssu/stationaccount.h"

#include "ssu/tokencipher.h"
#include "ssu/tokenencoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace {
// The first line of the decrypted text: a file of another kind that happens
// to decrypt is not taken for an account.
const char *const Header = "rvk-station 1";
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

QString StationAccount::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/ZELMOR/RVK Report station.ssu");
}

bool StationAccount::validUser(const QString &user)
{
    static const QRegularExpression name(QStringLiteral("\\A[A-Za-z0-9_-]{1,32}\\z"));
    return name.match(user).hasMatch();
}

Attempt<std::optional<StationAccount>> StationAccount::read(const QString &path, quint64 key)
{
    using Read = Attempt<std::optional<StationAccount>>;
    QFile file(path);
    if (!file.exists())
        return Read::done(std::nullopt);
#ifdef Q_OS_UNIX
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                              | QFileDevice::WriteOther))
        file.setPermissions(OwnerOnly);
#endif
    if (!file.open(QIODevice::ReadOnly))
        return Read::failed(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray content = file.read(TokenCipher::MaximumInputSize * 2);
    TokenCipher cipher;
    cipher.setKey(key);
    const QStringList lines = cipher.decryptText(QString::fromLatin1(content.trimmed())).split(QLatin1Char('\n'));
    if (lines.size() < 3 || lines.at(0) != QLatin1String(Header) || !validUser(lines.at(1)) || lines.at(2).isEmpty())
        return Read::failed(
            QStringLiteral("%1 is not a station file of this installation (another key, or damaged)").arg(path));
    return Read::done(StationAccount{lines.at(1), lines.at(2)});
}

Attempt<> StationAccount::write(const QString &path, quint64 key) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Attempt<>::failed(QStringLiteral("cannot create %1: %2").arg(path, file.errorString()));
#ifdef Q_OS_UNIX
    if (!file.setPermissions(OwnerOnly)) {
        const QString problem = QStringLiteral("cannot make %1 private: %2").arg(path, file.errorString());
        file.remove();
        return Attempt<>::failed(problem);
    }
#endif
    TokenEncoder encoder(key);
    const QByteArray content
        = encoder.encryptText(QStringList{QLatin1String(Header), user, password}.join(QLatin1Char('\n'))).toLatin1()
        + '\n';
    if (file.write(content) != content.size() || !file.flush()) {
        const QString problem = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.remove();
        return Attempt<>::failed(problem);
    }
    return Attempt<>::done();
}
