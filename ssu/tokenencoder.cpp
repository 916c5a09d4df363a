#include "ssu/tokenencoder.h"

#include "ssu/tokencipher.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

TokenEncoder::TokenEncoder(quint64 key)
    : m_keyBytes(TokenCipher::keyBytes(key))
{
}

QByteArray TokenEncoder::encryptBytes(const QByteArray &plain) const
{
    quint8 flags = 0;
    const QByteArray payload = m_compressed ? qCompress(plain) : plain;
    if (m_compressed)
        flags |= TokenCipher::FlagCompressed;

    QByteArray body;
    body.append(char(m_randomByte >= 0 ? m_randomByte : QRandomGenerator::system()->bounded(256)));
    if (m_integrity == Checksum) {
        flags |= TokenCipher::FlagChecksum;
        const quint16 crc = qChecksum(payload.constData(), uint(payload.size()), Qt::ChecksumIso3309);
        body.append(char(crc >> 8));
        body.append(char(crc & 0xFF));
    } else if (m_integrity == Hash) {
        flags |= TokenCipher::FlagHash;
        body.append(QCryptographicHash::hash(payload, QCryptographicHash::Sha1));
    }
    body.append(payload);

    char previous = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ m_keyBytes.at(i % 8) ^ previous);
        previous = body.at(i);
    }

    QByteArray output;
    output.append(char(TokenCipher::Version));
    output.append(char(flags));
    output.append(body);
    return output;
}

QString TokenEncoder::encryptText(const QString &plain) const
{
    return QString::fromLatin1(encryptBytes(plain.toUtf8()).toBase64());
}
