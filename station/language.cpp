#include "station/language.h"

#include "protocol/programidentity.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTranslator>

namespace {
const char *const languageKey = "Settings/Language";

QTranslator &applicationTranslator()
{
    static QTranslator translator;
    return translator;
}
} // namespace

namespace Language {

QLocale russian()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

QLocale english()
{
    return QLocale(QLocale::English, QLocale::UnitedKingdom);
}

QLocale stored()
{
    return ProgramIdentity::nativeSettings().value(QLatin1String(languageKey), 0).toInt() == 1 ? english() : russian();
}

void store(const QLocale &language)
{
    QSettings settings = ProgramIdentity::nativeSettings();
    settings.setValue(QLatin1String(languageKey), int(code(language)));
}

quint32 code(const QLocale &language)
{
    return language.language() == QLocale::English ? 1 : 0;
}

bool install(const QLocale &language)
{
    QTranslator &translator = applicationTranslator();
    // Removing first keeps a repeated switch from stacking the translator.
    QCoreApplication::removeTranslator(&translator);
    if (code(language) == 0)
        return true;
    // Always from the file beside the program: replacing that file is how an
    // installation updates its translation.
    if (!translator.load(ProgramIdentity::translationFilePath()))
        return false;
    QCoreApplication::installTranslator(&translator);
    return true;
}

} // namespace Language
