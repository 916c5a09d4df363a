#include "ssu/tokencipher.h"

#include <QCryptographicHash>
#include <QtEndian>

void TokenCipher::setKey(quint64 key)
{
    m_keyBytes = keyBytes(key);
    m_hasKey = true;
}

QByteArray TokenCipher::keyBytes(quint64 key)
{
    QByteArray bytes(8, '\0');
    for (int i = 0; i < 8; ++i)
        bytes[i] = char((key >> (8 * i)) & 0xFF);
    return bytes;
}

QString TokenCipher::decryptText(const QString &token)
{
    // Base64 takes four characters for three bytes; line breaks and other
    // skipped characters may pad a real token a little.
    if (token.size() > MaximumInputSize * 2) {
        m_lastError = CipherIntegrityFailed;
        return QString();
    }
    const QByteArray plain = decryptBytes(QByteArray::fromBase64(token.toLatin1()));
    if (m_lastError != CipherNoError)
        return QString();
    return QString::fromUtf8(plain);
}

QByteArray TokenCipher::decryptBytes(const QByteArray &input)
{
    if (!m_hasKey) {
        m_lastError = CipherNoKey;
        return QByteArray();
    }
    if (input.isEmpty() || quint8(input.at(0)) != Version) {
        m_lastError = CipherUnknownVersion;
        return QByteArray();
    }
    if (input.size() > MaximumInputSize) {
        m_lastError = CipherIntegrityFailed;
        return QByteArray();
    }
    const quint8 flags = input.size() > 1 ? quint8(input.at(1)) : 0;
    QByteArray d = input.mid(2);

    // The chaining value is the encrypted byte, so every byte depends on the
    // random first byte.
    char previous = 0;
    for (int i = 0; i < d.size(); ++i) {
        const char current = d.at(i);
        d[i] = char(current ^ m_keyBytes.at(i % 8) ^ previous);
        previous = current;
    }
    d.remove(0, 1);

    if (flags & FlagChecksum) {
        if (d.size() < 2) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        const quint16 stored = quint16((quint8(d.at(0)) << 8) | quint8(d.at(1)));
        d.remove(0, 2);
        if (stored != qChecksum(d.constData(), uint(d.size()), Qt::ChecksumIso3309)) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
    } else if (flags & FlagHash) {
        if (d.size() < 20) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        const QByteArray stored = d.left(20);
        d.remove(0, 20);
        if (stored != QCryptographicHash::hash(d, QCryptographicHash::Sha1)) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
    }

    if (flags & FlagCompressed) {
        // qUncompress reserves the size the body's header declares before it
        // reads the stream, and the flag byte is not encrypted: a damaged or
        // forged token of a few bytes could ask for 2 GiB. Passwords and
        // tokens are short, so a larger declaration is damage, and so is a
        // stream that does not inflate to exactly the declared size.
        constexpr quint32 MaximumPlainSize = 64 * 1024;
        if (d.size() < 4) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        const quint32 declared = qFromBigEndian<quint32>(d.constData());
        if (declared > MaximumPlainSize) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        const QByteArray plain = qUncompress(d);
        if (quint32(plain.size()) != declared) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        d = plain;
    }

    m_lastError = CipherNoError;
    return d;
}
