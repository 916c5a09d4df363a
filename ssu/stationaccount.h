#pragma once

#include "protocol/attempt.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// A station's own database account, for plants that give each station one
// instead of the shared password: the account's name and password, encrypted
// with the installation's key as a login token is, in a file in the user's
// profile that only its owner may read. When the file is there, the program
// connects as that account and downloads no password; the administrator can
// drop the account of one station without touching the others.
//
// The key is in every station's program, so the encryption keeps the
// password out of sight, not out of reach: the file's permissions and the
// account's revocation are what protect it.
class StationAccount
{
public:
    QString user;
    QString password;

    // "ZELMOR/RVK Report station.ssu" in the user's configuration folder:
    // beside the program's settings on Linux (~/.config), in the profile's
    // AppData\Local on Windows.
    static QString defaultPath();

    // Reads the file at path: no account when there is no file. Failed, with
    // the reason, when a file is there that cannot be read or does not
    // decrypt to an account: the caller must then not fall back to another
    // account. A file that others may read is made private first (Unix).
    static Attempt<std::optional<StationAccount>> read(const QString &path, quint64 key);
    // Writes the file for the station, never over an existing one, readable
    // and writable by its owner only (Unix) before anything is in it.
    Attempt<> write(const QString &path, quint64 key) const;

    // Whether the text can name a station's account: letters, digits, '_'
    // and '-', at most 32 characters, as MariaDB and MySQL both accept.
    static bool validUser(const QString &user);
};
