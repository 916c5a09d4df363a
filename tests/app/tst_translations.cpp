#include "tests/support/testmain.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

// Every text the sources mark for translation must have a finished English
// translation in the committed .ts, so a new string cannot be forgotten.
class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyMarkedTextIsTranslated();
    void everyTranslationIsStillMarked();
    void translationsKeepTheirPlaceholders();

private:
    struct Entry
    {
        QString translation;
        QString type;
    };
    using Catalogue = QHash<QString, Entry>; // key: context + '\x1f' + source + '\x1f' + comment

    static Catalogue readTs(const QString &path, QString *error);
    static QString describe(const QString &key);

    Catalogue committed;
    Catalogue scanned;
    QTemporaryDir scratch;
};

TestTranslations::Catalogue TestTranslations::readTs(const QString &path, QString *error)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return catalogue;
    }
    QXmlStreamReader xml(&file);
    QString context, source, comment;
    Entry entry;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            source.clear();
            comment.clear();
            entry = Entry();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("comment")) {
            comment = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            entry.type = xml.attributes().value(QLatin1String("type")).toString();
            entry.translation = xml.readElementText();
            catalogue.insert(context + QChar(0x1f) + source + QChar(0x1f) + comment, entry);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return catalogue;
}

QString TestTranslations::describe(const QString &key)
{
    const QStringList parts = key.split(QChar(0x1f));
    return QStringLiteral("[%1] \"%2\"").arg(parts.value(0), parts.value(1).left(120));
}

void TestTranslations::initTestCase()
{
    QVERIFY(scratch.isValid());
    const QString scanTs = scratch.filePath(QStringLiteral("scan.ts"));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(RVK_SOURCE_DIR));
    lupdate.start(QStringLiteral(RVK_LUPDATE),
                  {"app", "cli", "diagnostics", "ssu", "station", "report", "link", "protocol", "-ts", scanTs, "-locations", "none",
                   "-no-obsolete", "-silent"});
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    QString error;
    scanned = readTs(scanTs, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    committed = readTs(QStringLiteral(RVK_TS_FILE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // A scan that finds nothing would make the check below vacuous.
    QVERIFY(scanned.size() > 50);
}

void TestTranslations::everyMarkedTextIsTranslated()
{
    QStringList missing;
    for (auto it = scanned.cbegin(); it != scanned.cend(); ++it) {
        const auto found = committed.constFind(it.key());
        if (found == committed.cend() || !found->type.isEmpty() || found->translation.isEmpty())
            missing << describe(it.key());
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(),
             qPrintable(QStringLiteral("%1 text(s) without a finished English translation:\n  ").arg(missing.size())
                        + missing.join(QStringLiteral("\n  "))));
}

// A translation no scan finds belongs to a text that is gone, or to a call
// lupdate cannot read (a context in a variable), which the next
// scripts/update-translations would silently drop.
void TestTranslations::everyTranslationIsStillMarked()
{
    QStringList unmarked;
    for (auto it = committed.cbegin(); it != committed.cend(); ++it) {
        if (!scanned.contains(it.key()))
            unmarked << describe(it.key());
    }
    unmarked.sort();
    QVERIFY2(unmarked.isEmpty(), qPrintable(QStringLiteral("%1 translation(s) of texts no source marks:\n  ").arg(unmarked.size())
                                             + unmarked.join(QStringLiteral("\n  "))));
}

void TestTranslations::translationsKeepTheirPlaceholders()
{
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    auto placeholders = [](const QString &text) {
        QStringList found;
        auto matches = placeholder.globalMatch(text);
        while (matches.hasNext())
            found << matches.next().captured();
        found.sort();
        return found;
    };
    QStringList broken;
    for (auto it = committed.cbegin(); it != committed.cend(); ++it) {
        const QString source = it.key().section(QChar(0x1f), 1, 1);
        if (placeholders(source) != placeholders(it->translation))
            broken << describe(it.key());
    }
    QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char('\n'))));
}

RVK_TEST_MAIN(TestTranslations)
#include "tst_translations.moc"
