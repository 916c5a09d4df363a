#include "tests/support/testmain.h"

#include "ssu/deployment.h"
#include "ssu/tokencipher.h"
#include "ssu/tokenencoder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {
constexpr quint64 TestKey = 0x0102030405060708ull;

QByteArray withFlags(QByteArray ciphertext, quint8 flags)
{
    ciphertext[1] = char(flags);
    return ciphertext;
}

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

class TestTokenCipher : public QObject
{
    Q_OBJECT
private slots:
    void decryptsAHandMadeCiphertext();
    void rejectsOtherVersions_data();
    void rejectsOtherVersions();
    void refusesWithoutKey();
    void roundTripsEveryProtection_data();
    void roundTripsEveryProtection();
    void checksumTakesPrecedenceOverHash();
    void detectsTampering_data();
    void detectsTampering();
    void skipsInvalidBase64Characters();
    void garbageTokensDecryptToNothing_data();
    void garbageTokensDecryptToNothing();
    void wrongKeyFailsTheChecksum();
    void tokenToolWritesDecryptablePasswordFileAndTokens();
    void refusesDamagedCompressedBodies_data();
    void refusesDamagedCompressedBodies();
    void honestCompressedTokensStillDecrypt();
    void oversizedInputsAreRefusedBeforeDecrypting();
};

// Key byte 0 is 0x08, byte 1 is 0x07 (least significant first); random byte 0:
// e0 = 0x00 ^ 0x08 = 0x08, e1 = 'A' ^ 0x07 ^ e0 = 0x4E. Pins the key-byte
// order and the chaining on the encrypted byte independently of the encoder.
void TestTokenCipher::decryptsAHandMadeCiphertext()
{
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QCOMPARE(cipher.decryptBytes(QByteArray::fromHex("0300084e")), QByteArray("A"));
    QCOMPARE(cipher.lastError(), TokenCipher::CipherNoError);
    // Two payload bytes: e2 = 'B' ^ 0x06 ^ e1 = 0x0A.
    QCOMPARE(cipher.decryptBytes(QByteArray::fromHex("0300084e0a")), QByteArray("AB"));
}

void TestTokenCipher::rejectsOtherVersions_data()
{
    QTest::addColumn<QByteArray>("input");
    TokenEncoder encoder(TestKey);
    const QByteArray valid = encoder.encryptBytes("secret");
    QByteArray version2 = valid;
    version2[0] = 2;
    QByteArray version4 = valid;
    version4[0] = 4;
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("version 2") << version2;
    QTest::newRow("version 4") << version4;
    QTest::newRow("version byte only, 2") << QByteArray("\x02", 1);
}

void TestTokenCipher::rejectsOtherVersions()
{
    QFETCH(QByteArray, input);
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QVERIFY(cipher.decryptBytes(input).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherUnknownVersion);
}

void TestTokenCipher::refusesWithoutKey()
{
    TokenCipher cipher;
    QVERIFY(cipher.decryptBytes(TokenEncoder(TestKey).encryptBytes("secret")).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherNoKey);
    QVERIFY(cipher.decryptText(TokenEncoder(TestKey).encryptText("secret")).isEmpty());
}

void TestTokenCipher::roundTripsEveryProtection_data()
{
    QTest::addColumn<int>("integrity");
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<int>("expectedFlags");
    const QString cyrillic = QStringLiteral("пароль-ССУ");
    const QString longText = QString(QStringLiteral("0123456789")).repeated(50);
    QTest::newRow("plain") << int(TokenEncoder::NoIntegrity) << false << cyrillic << 0x00;
    QTest::newRow("checksum") << int(TokenEncoder::Checksum) << false << cyrillic << 0x02;
    QTest::newRow("hash") << int(TokenEncoder::Hash) << false << cyrillic << 0x04;
    QTest::newRow("compressed") << int(TokenEncoder::NoIntegrity) << true << longText << 0x01;
    QTest::newRow("compressed, checksum") << int(TokenEncoder::Checksum) << true << longText << 0x03;
    QTest::newRow("compressed, hash") << int(TokenEncoder::Hash) << true << cyrillic << 0x05;
    QTest::newRow("one character, checksum") << int(TokenEncoder::Checksum) << false << QStringLiteral("x") << 0x02;
}

void TestTokenCipher::roundTripsEveryProtection()
{
    QFETCH(int, integrity);
    QFETCH(bool, compressed);
    QFETCH(QString, plain);
    QFETCH(int, expectedFlags);
    TokenEncoder encoder(TestKey);
    encoder.setIntegrity(TokenEncoder::Integrity(integrity));
    encoder.setCompressed(compressed);
    const QByteArray ciphertext = encoder.encryptBytes(plain.toUtf8());
    QCOMPARE(quint8(ciphertext.at(0)), quint8(3));
    QCOMPARE(int(quint8(ciphertext.at(1))), expectedFlags);
    if (compressed && plain.size() > 100)
        QVERIFY(ciphertext.size() < plain.toUtf8().size());

    TokenCipher cipher;
    cipher.setKey(TestKey);
    QCOMPARE(cipher.decryptText(QString::fromLatin1(ciphertext.toBase64())), plain);
    QCOMPARE(cipher.lastError(), TokenCipher::CipherNoError);
}

void TestTokenCipher::checksumTakesPrecedenceOverHash()
{
    TokenEncoder checksummed(TestKey);
    checksummed.setIntegrity(TokenEncoder::Checksum);
    TokenEncoder hashed(TestKey);
    hashed.setIntegrity(TokenEncoder::Hash);
    TokenCipher cipher;
    cipher.setKey(TestKey);

    // The flag byte is not encrypted: a checksummed body that also claims a
    // hash is read by its checksum and decrypts.
    QCOMPARE(cipher.decryptBytes(withFlags(checksummed.encryptBytes("secret"), 0x06)), QByteArray("secret"));
    // A hashed body that also claims a checksum is read by a checksum that is
    // really the digest's first bytes, and fails.
    QVERIFY(cipher.decryptBytes(withFlags(hashed.encryptBytes("secret"), 0x06)).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
}

void TestTokenCipher::detectsTampering_data()
{
    QTest::addColumn<QByteArray>("input");
    TokenEncoder checksummed(TestKey);
    checksummed.setIntegrity(TokenEncoder::Checksum);
    TokenEncoder hashed(TestKey);
    hashed.setIntegrity(TokenEncoder::Hash);

    // A changed last byte changes only the last decrypted byte.
    QByteArray badChecksum = checksummed.encryptBytes("secret");
    badChecksum[badChecksum.size() - 1] = char(badChecksum.at(badChecksum.size() - 1) ^ 0x01);
    QByteArray badHash = hashed.encryptBytes("secret");
    badHash[badHash.size() - 1] = char(badHash.at(badHash.size() - 1) ^ 0x01);

    QTest::newRow("checksum mismatch") << badChecksum;
    QTest::newRow("hash mismatch") << badHash;
    QTest::newRow("checksum flag, no room for it") << QByteArray::fromHex("03020809");
    QTest::newRow("hash flag, 19 bytes after the random byte") << (QByteArray::fromHex("030408") + QByteArray(19, 'x'));
    QTest::newRow("checksum flag, body is only the random byte") << QByteArray::fromHex("030208");
}

void TestTokenCipher::detectsTampering()
{
    QFETCH(QByteArray, input);
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QVERIFY(cipher.decryptBytes(input).isEmpty());
    QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
    QVERIFY(cipher.decryptText(QString::fromLatin1(input.toBase64())).isEmpty());
}

void TestTokenCipher::skipsInvalidBase64Characters()
{
    const QString token = TokenEncoder(TestKey).encryptText(QStringLiteral("secret"));
    TokenCipher cipher;
    cipher.setKey(TestKey);
    // The downloaded file ends in a line break; a typed token may carry blanks.
    QCOMPARE(cipher.decryptText(token + QLatin1Char('\n')), QStringLiteral("secret"));
    QCOMPARE(cipher.decryptText(QLatin1Char(' ') + token.left(4) + QStringLiteral(" \r\n*") + token.mid(4)),
             QStringLiteral("secret"));
}

void TestTokenCipher::garbageTokensDecryptToNothing_data()
{
    QTest::addColumn<QString>("token");
    QTest::newRow("empty") << QString();
    QTest::newRow("only invalid characters") << QStringLiteral("!!!???***");
    QTest::newRow("plain word") << QStringLiteral("password");
    QTest::newRow("html error page") << QStringLiteral("<html><body>404 Not Found</body></html>");
    QTest::newRow("non-Latin-1") << QStringLiteral("пароль");
}

void TestTokenCipher::garbageTokensDecryptToNothing()
{
    QFETCH(QString, token);
    TokenCipher cipher;
    cipher.setKey(TestKey);
    QCOMPARE(cipher.decryptText(token), QString());
    QVERIFY(cipher.lastError() != TokenCipher::CipherNoError);
}

void TestTokenCipher::wrongKeyFailsTheChecksum()
{
    TokenEncoder encoder(TestKey);
    encoder.setIntegrity(TokenEncoder::Checksum);
    TokenCipher cipher;
    cipher.setKey(TestKey ^ 0x0100000000000000ull);
    // Each run draws another random byte; none may slip through.
    for (int i = 0; i < 50; ++i) {
        QVERIFY(cipher.decryptText(encoder.encryptText(QStringLiteral("secret-password"))).isEmpty());
        QCOMPARE(cipher.lastError(), TokenCipher::CipherIntegrityFailed);
    }
}

void TestTokenCipher::tokenToolWritesDecryptablePasswordFileAndTokens()
{
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-ssu-token");
    QVERIFY2(QFileInfo::exists(tool), "build the rvk-ssu-token target first");
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ssu.pas"));

    QProcess process;
    process.start(tool, {QStringLiteral("--output"), file, QStringLiteral("--tokens"), QStringLiteral("5")});
    process.write(QStringLiteral("пароль-1\n").toUtf8());
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QStringList tokens = QString::fromLatin1(process.readAllStandardOutput()).split(QLatin1Char('\n'),
                                                                                        Qt::SkipEmptyParts);
    QCOMPARE(tokens.size(), 5);

    // The station decrypts with the key the build was configured with.
    TokenCipher cipher;
    cipher.setKey(Deployment::key());
    QFile passwordFile(file);
    QVERIFY(passwordFile.open(QIODevice::ReadOnly));
    QCOMPARE(cipher.decryptText(QString::fromUtf8(passwordFile.readAll())), QStringLiteral("пароль-1"));
    for (const QString &token : tokens)
        QCOMPARE(cipher.decryptText(token), QStringLiteral("пароль-1"));
    QVERIFY(QSet<QString>(tokens.begin(), tokens.end()).size() > 1);

    // Another key, read from a file: the program's key cannot read it.
    // The password from a file this time.
    const QString passwordPath = dir.filePath(QStringLiteral("password"));
    QFile passwordSource(passwordPath);
    QVERIFY(passwordSource.open(QIODevice::WriteOnly));
    passwordSource.write("other\n");
    passwordSource.close();
    const QString keyPath = dir.filePath(QStringLiteral("key"));
    QFile keySource(keyPath);
    QVERIFY(keySource.open(QIODevice::WriteOnly));
    keySource.write("0x1234\r\n");
    keySource.close();
    process.start(tool, {QStringLiteral("--key-file"), keyPath, QStringLiteral("--hash"), QStringLiteral("--compress"),
                         QStringLiteral("--password-file"), passwordPath});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QString foreignToken = QString::fromLatin1(process.readAllStandardOutput()).trimmed();
    QVERIFY(cipher.decryptText(foreignToken).isEmpty());
    TokenCipher foreign;
    foreign.setKey(0x1234);
    QCOMPARE(foreign.decryptText(foreignToken), QStringLiteral("other"));

    // A key file that holds no key, or none at all, makes no token; a key on
    // the command line is no option any more.
    QVERIFY(keySource.open(QIODevice::WriteOnly | QIODevice::Truncate));
    keySource.write("not-hex\n");
    keySource.close();
    const QList<QStringList> refusedKeys = {
        {QStringLiteral("--key-file"), keyPath},
        {QStringLiteral("--key-file"), dir.filePath(QStringLiteral("missing"))},
        {QStringLiteral("--key"), QStringLiteral("0x1234")},
    };
    for (const QStringList &keyArguments : refusedKeys) {
        process.start(tool, keyArguments + QStringList{QStringLiteral("--password-file"), passwordPath});
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(process.exitCode() != 0, qPrintable(keyArguments.join(QLatin1Char(' '))));
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    // A password on the command line is refused, and nothing is written.
    const QString refusedFile = dir.filePath(QStringLiteral("refused.pas"));
    process.start(tool, {QStringLiteral("--output"), refusedFile, QStringLiteral("secret")});
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(!QFileInfo::exists(refusedFile));
}

// Inputs the token fuzzer turned up. The compression flag travels outside the
// encryption, so anyone who can put a password file on the web server or a
// token into the settings can hand the decompressor any header they like.
void TestTokenCipher::refusesDamagedCompressedBodies_data()
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
void TestTokenCipher::refusesDamagedCompressedBodies()
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

void TestTokenCipher::honestCompressedTokensStillDecrypt()
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

void TestTokenCipher::oversizedInputsAreRefusedBeforeDecrypting()
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

RVK_TEST_MAIN(TestTokenCipher)
#include "tst_tokencipher.moc"
