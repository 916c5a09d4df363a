#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Decrypts the password download and the login tokens. The format: one
// version byte (3), one flag byte (0x01 compressed, 0x02 CRC-16, 0x04 SHA-1),
// then a body XOR-ed with the key bytes and chained on the previous encrypted
// byte; the body starts with one random byte so equal texts encrypt
// differently. TokenEncoder is the matching encrypting side.
class TokenCipher
{
public:
    enum CipherError {
        CipherNoError = 0,
        CipherNoKey = 1,
        CipherUnknownVersion = 2,
        CipherIntegrityFailed = 3,
    };

    enum Flag : quint8 {
        FlagCompressed = 0x01,
        FlagChecksum = 0x02,
        FlagHash = 0x04,
    };
    static constexpr quint8 Version = 3;
    // Passwords and tokens are a few dozen bytes. Anything longer is refused
    // before it is decrypted: a compressed body inflates at most about a
    // thousandfold, so this also bounds what decompression can allocate
    // (a few MiB) whatever the body declares.
    static constexpr int MaximumInputSize = 4 * 1024;

    void setKey(quint64 key);
    // Standard Base64 (invalid characters skipped) of a ciphertext; empty on
    // any error, a text too long to hold MaximumInputSize bytes included.
    QString decryptText(const QString &token);
    QByteArray decryptBytes(const QByteArray &input);
    CipherError lastError() const { return m_lastError; }

    // Byte i of the key is bits 8i..8i+7, least significant byte first.
    static QByteArray keyBytes(quint64 key);

private:
    QByteArray m_keyBytes;
    bool m_hasKey = false;
    CipherError m_lastError = CipherNoError;
};
