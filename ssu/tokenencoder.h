#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// The encrypting side of TokenCipher, for deployers (tools/rvk-ssu-token) and
// tests: produces password files and login tokens that decrypt to the given
// text with the same key.
class TokenEncoder
{
public:
    enum Integrity { NoIntegrity, Checksum, Hash };

    explicit TokenEncoder(quint64 key);

    void setIntegrity(Integrity integrity) { m_integrity = integrity; }
    void setCompressed(bool compressed) { m_compressed = compressed; }
    // Fixes the leading random byte; by default a fresh random byte is drawn
    // for every encryption.
    void setRandomByte(int value) { m_randomByte = value; }

    QByteArray encryptBytes(const QByteArray &plain) const;
    // Base64 of encryptBytes of the UTF-8 text.
    QString encryptText(const QString &plain) const;

private:
    QByteArray m_keyBytes;
    Integrity m_integrity = Checksum;
    bool m_compressed = false;
    int m_randomByte = -1;
};
