#include "tests/support/testmain.h"

#include "ssu/stationaccount.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {
constexpr quint64 Key = 0x0102030405060708ull;
} // namespace

// The station file's three readings: none, an account, and one that must
// not be replaced by another account (it is there but unusable).
class TestStationAccountFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(folder.isValid()); }
    void noFileIsNoAccount();
    void anAccountReadsBackWithItsKeyOnly();
    void anExistingFileIsNeverOverwritten();

private:
    QString path() const { return folder.filePath(QStringLiteral("station.ssu")); }
    QTemporaryDir folder;
};

void TestStationAccountFile::noFileIsNoAccount()
{
    const Attempt<std::optional<StationAccount>> read = StationAccount::read(path(), Key);
    QVERIFY2(read.ok, qPrintable(read.error));
    QVERIFY(!read.value);
}

void TestStationAccountFile::anAccountReadsBackWithItsKeyOnly()
{
    QFile::remove(path());
    const StationAccount written{QStringLiteral("RVKst_line2"), QStringLiteral("p4ss word")};
    const Attempt<> write = written.write(path(), Key);
    QVERIFY2(write.ok, qPrintable(write.error));
    QVERIFY(write.error.isEmpty());
#ifdef Q_OS_UNIX
    QCOMPARE(QFileInfo(path()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
#endif

    const Attempt<std::optional<StationAccount>> read = StationAccount::read(path(), Key);
    QVERIFY2(read.ok, qPrintable(read.error));
    QVERIFY(read.value);
    QCOMPARE(read.value->user, written.user);
    QCOMPARE(read.value->password, written.password);

    const Attempt<std::optional<StationAccount>> otherKey = StationAccount::read(path(), Key ^ 1);
    QVERIFY(!otherKey.ok);
    QVERIFY(!otherKey.value);
    QVERIFY2(otherKey.error.contains(QLatin1String("not a station file")), qPrintable(otherKey.error));
}

void TestStationAccountFile::anExistingFileIsNeverOverwritten()
{
    QFile::remove(path());
    const StationAccount first{QStringLiteral("RVKst_first"), QStringLiteral("one")};
    QVERIFY(first.write(path(), Key).ok);
    const StationAccount second{QStringLiteral("RVKst_second"), QStringLiteral("two")};
    const Attempt<> again = second.write(path(), Key);
    QVERIFY(!again.ok);
    QVERIFY2(again.error.startsWith(QLatin1String("cannot create")), qPrintable(again.error));
    QCOMPARE(StationAccount::read(path(), Key).value->user, QStringLiteral("RVKst_first"));
}

RVK_TEST_MAIN(TestStationAccountFile)
#include "tst_stationaccount.moc"
