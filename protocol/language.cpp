#include "protocol/language.h"

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

// The language installed last; Russian needs no translator.
quint32 &installedCode()
{
    static quint32 code = 0;
    return code;
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
    // Every window asks for the language it is switched to; only a change
    // re-sends the whole application its LanguageChange.
    if (code(language) == installedCode())
        return true;
    QTranslator &translator = applicationTranslator();
    QCoreApplication::removeTranslator(&translator);
    installedCode() = 0;
    if (code(language) == 0)
        return true;
    // Always from the file beside the program: replacing that file is how an
    // installation updates its translation.
    if (!translator.load(ProgramIdentity::translationFilePath()))
        return false;
    QCoreApplication::installTranslator(&translator);
    installedCode() = 1;
    return true;
}

QLocale installed()
{
    return installedCode() == 1 ? english() : russian();
}

} // namespace Language
