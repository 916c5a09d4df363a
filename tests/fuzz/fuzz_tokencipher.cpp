// Password downloads and login tokens come from a web server and from the
// user's settings: any Base64 text and any bytes must decrypt to a result or
// to an error, never to a crash. The first byte picks the mode so one corpus
// drives the text path, the byte path and an encrypt/decrypt round trip.
#include "ssu/tokencipher.h"
#include "ssu/tokenencoder.h"

#include <QByteArray>
#include <QString>

namespace {
constexpr quint64 FuzzKey = 0x0123456789ABCDEFull;

void roundTrip(const QByteArray &plain, quint8 mode)
{
    TokenEncoder encoder(FuzzKey);
    encoder.setIntegrity(TokenEncoder::Integrity(mode % 3));
    encoder.setCompressed(mode & 0x04);
    encoder.setRandomByte(mode >> 3);
    TokenCipher cipher;
    cipher.setKey(FuzzKey);
    const QByteArray encrypted = encoder.encryptBytes(plain);
    const QByteArray decrypted = cipher.decryptBytes(encrypted);
    // Oversized ciphertexts are refused before any work, however they would
    // decrypt.
    if (encrypted.size() > TokenCipher::MaximumInputSize) {
        if (!decrypted.isEmpty() || cipher.lastError() != TokenCipher::CipherIntegrityFailed)
            __builtin_trap();
        return;
    }
    if (decrypted != plain || cipher.lastError() != TokenCipher::CipherNoError)
        __builtin_trap();
    // A text token goes through Base64 and UTF-8; valid UTF-8 must survive.
    const QString text = QString::fromUtf8(plain);
    if (text.toUtf8() == plain && cipher.decryptText(encoder.encryptText(text)) != text)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const quint8 mode = data[0];
    const QByteArray rest(reinterpret_cast<const char *>(data) + 1, int(size - 1));

    TokenCipher cipher;
    cipher.setKey(FuzzKey);
    switch (mode % 3) {
    case 0: {
        const QString plain = cipher.decryptText(QString::fromLatin1(rest));
        if (cipher.lastError() != TokenCipher::CipherNoError && !plain.isEmpty())
            __builtin_trap();
        break;
    }
    case 1: {
        const QByteArray plain = cipher.decryptBytes(rest);
        if (cipher.lastError() != TokenCipher::CipherNoError && !plain.isEmpty())
            __builtin_trap();
        // Whatever a compressed body declares, what comes out stays small.
        if (rest.size() > TokenCipher::MaximumInputSize && !plain.isEmpty())
            __builtin_trap();
        break;
    }
    default:
        roundTrip(rest, quint8(mode / 3));
        break;
    }

    // Without a key nothing decrypts, whatever the input.
    TokenCipher keyless;
    if (!keyless.decryptBytes(rest).isEmpty() || keyless.lastError() != TokenCipher::CipherNoKey)
        __builtin_trap();
    return 0;
}
