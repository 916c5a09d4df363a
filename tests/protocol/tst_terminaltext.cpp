// What of a server's text may reach a terminal.
#include "protocol/terminaltext.h"

#include <QTest>

class TestTerminalText : public QObject
{
    Q_OBJECT
private slots:
    void keepsTextAndDefusesControls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        const QString r(QChar::ReplacementCharacter);
        QTest::newRow("plain Cyrillic") << QStringLiteral("Нет связи\tс ССУ\n") << QStringLiteral("Нет связи\tс ССУ\n");
        QTest::newRow("title escape") << QStringLiteral("\x1b]0;pwned\x07x") << r + "]0;pwned" + r + "x";
        QTest::newRow("clear screen") << QStringLiteral("\x1b[2J") << r + "[2J";
        QTest::newRow("carriage return hides a line") << QStringLiteral("ok\rPassword:") << "ok" + r + "Password:";
        QTest::newRow("C1 CSI and DEL") << QString(QChar(0x9b)) + "31m" + QChar(0x7f) << r + "31m" + r;
        QTest::newRow("NUL") << QString(QChar(0)) << r;
    }
    void keepsTextAndDefusesControls()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(terminalSafe(text), shown);
    }
};

QTEST_APPLESS_MAIN(TestTerminalText)
#include "tst_terminaltext.moc"
