// Inputs the token fuzzer turned up. The compression flag travels outside the
// encryption, so anyone who can put a password file on the web server or a
// token into the settings can hand the decompressor any header they like.
#include "tests/support/testmain.h"

#include "ssu/tokencipher.h"
#include "ssu/tokenencoder.h"

#include <QElapsedTimer>

namespace {
constexpr quint64 TestKey = 0x0123456789ABCDEFull;

// Encrypts the body as it stands, then marks it compressed.
QByteArray markedCompressed(const QByteArray &body)
{
    TokenEncoder encoder(TestKey);
    encoder.setIntegrity(TokenEncoder::NoIntegrity);
    encoder.setCompressed(false);
    QByteArray ciphertext = encoder.encryptBytes(body);
    ciphertext[1] = char(TokenCipher::FlagCompressed);
    return ciphertext;
}

QByteArray sizeHeader(quint32 size)
{
    return QByteArray(1, char(size >> 24)) + char(size >> 16) + char(size >> 8) + char(size);
}

// A complete zlib stream of no data.
const QByteArray EmptyStream = QByteArray::fromHex("789c030000000001");
} // namespace

class TstTokenCipherRegression : public QObject
{
    Q_OBJECT
private slots:
    void refusesDamagedCompressedBodies_data();
    void refusesDamagedCompressedBodies();
    void honestCompressedTokensStillDecrypt();
    void oversizedInputsAreRefusedBeforeDecrypting();
};

void TstTokenCipherRegression::refusesDamagedCompressedBodies_data()
{
    QTest::addColumn<QByteArray>("body");
    // A 16-byte token once made the decryption reserve 2 GiB (a crash where
    // that much is not available) before the stream turned out to be empty.
    QTest::newRow("declares 2 GiB") << sizeHeader(0x7FFFFF00) + EmptyStream;
    QTest::newRow("declares 64 MiB") << sizeHeader(64u << 20) + EmptyStream;
    QTest::newRow("declares the maximum") << sizeHeader(0xFFFFFFFF) + EmptyStream;
    QTest::newRow("header only") << sizeHeader(16);
    QTest::newRow("not a zlib stream") << sizeHeader(16) + QByteArray("not compressed at all");
    QTest::newRow("truncated stream") << sizeHeader(5) + qCompress(QByteArray("hello")).mid(4, 6);
}

// A damaged body is an error, not an empty password that decrypted fine.
void TstTokenCipherRegression::refusesDamagedCompressedBodies()
{
    QFETCH(QByteArray, body);
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(cipher.decryptBytes(markedCompressed(body)).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
    QVERIFY2(clock.elapsed() < 1000, "a tiny token must not take long to refuse");

    const QString text = cipher.decryptText(QString::fromLatin1(markedCompressed(body).toBase64()));
    QVERIFY(text.isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
}

void TstTokenCipherRegression::honestCompressedTokensStillDecrypt()
{
    const QByteArray password = QByteArray("database password ").repeated(50);
    TokenEncoder encoder(TestKey);
    encoder.setCompressed(true);
    for (TokenEncoder::Integrity integrity : {TokenEncoder::NoIntegrity, TokenEncoder::Checksum, TokenEncoder::Hash}) {
        encoder.setIntegrity(integrity);
        TokenCipher cipher;
        cipher.setKey(TestKey);
        QCOMPARE(cipher.decryptBytes(encoder.encryptBytes(password)), password);
        QCOMPARE(cipher.lastError(), TokenCipher::CipherNoError);
    }
    // An empty text compresses to a stream that declares 0 bytes.
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QCOMPARE(cipher.decryptBytes(encoder.encryptBytes(QByteArray())), QByteArray());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherNoError);
}

void TstTokenCipherRegression::oversizedInputsAreRefusedBeforeDecrypting()
{
    // A body of zeros deflates about a thousandfold: 1 GiB would fit in
    // about a megabyte, whatever size the header declares.
    const QByteArray bomb = markedCompressed(sizeHeader(16) + qCompress(QByteArray(64 * 1024 * 1024, '\0')).mid(4));
    QVERIFY(bomb.size() > TokenCipher::MaximumInputSize);
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(cipher.decryptBytes(bomb).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
    QVERIFY(cipher.decryptText(QString::fromLatin1(bomb.toBase64())).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
    QVERIFY2(clock.elapsed() < 1000, "an oversized input must be refused without being decrypted");

    // The bound itself: a ciphertext of exactly MaximumInputSize bytes still
    // decrypts, one byte more does not.
    TokenEncoder encoder(TestKey);
    encoder.setIntegrity(TokenEncoder::Checksum);
    encoder.setCompressed(false);
    const int overhead = encoder.encryptBytes(QByteArray()).size();
    const QByteArray fits(TokenCipher::MaximumInputSize - overhead, 'p');
    QCOMPARE(encoder.encryptBytes(fits).size(), TokenCipher::MaximumInputSize);
    QCOMPARE(cipher.decryptBytes(encoder.encryptBytes(fits)), fits);
    QVERIFY(cipher.decryptBytes(encoder.encryptBytes(fits + 'p')).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
}

RVK_TEST_MAIN(TstTokenCipherRegression)
#include "tst_tokencipher_regression.moc"
