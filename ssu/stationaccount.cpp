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

StationAccount::Read StationAccount::read(const QString &path, quint64 key, StationAccount *account,
                                          QString *problem)
{
    QFile file(path);
    if (!file.exists())
        return Read::Absent;
#ifdef Q_OS_UNIX
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup
                              | QFileDevice::WriteOther))
        file.setPermissions(OwnerOnly);
#endif
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return Read::Unreadable;
    }
    const QByteArray content = file.read(TokenCipher::MaximumInputSize * 2);
    TokenCipher cipher;
    cipher.setKey(key);
    const QStringList lines = cipher.decryptText(QString::fromLatin1(content.trimmed())).split(QLatin1Char('\n'));
    if (lines.size() < 3 || lines.at(0) != QLatin1String(Header) || !validUser(lines.at(1)) || lines.at(2).isEmpty()) {
        *problem = QStringLiteral("%1 is not a station file of this installation (another key, or damaged)")
                       .arg(path);
        return Read::Unreadable;
    }
    account->user = lines.at(1);
    account->password = lines.at(2);
    return Read::Loaded;
}

bool StationAccount::write(const QString &path, quint64 key, QString *problem) const
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        *problem = QStringLiteral("cannot create %1: %2").arg(path, file.errorString());
        return false;
    }
#ifdef Q_OS_UNIX
    if (!file.setPermissions(OwnerOnly)) {
        *problem = QStringLiteral("cannot make %1 private: %2").arg(path, file.errorString());
        file.remove();
        return false;
    }
#endif
    TokenEncoder encoder(key);
    const QByteArray content
        = encoder.encryptText(QStringList{QLatin1String(Header), user, password}.join(QLatin1Char('\n'))).toLatin1()
        + '\n';
    if (file.write(content) != content.size() || !file.flush()) {
        *problem = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        file.remove();
        return false;
    }
    return true;
}
