#pragma once

#include <QLocale>

// The program's language: Russian, its own, or English from the translation
// beside the program. It is kept as a locale; the stored setting stays the
// 0 (Russian) / 1 (English) that installed stations already hold.
namespace Language {

QLocale russian();
QLocale english();
// The language the user chose last (the native setting "Settings/Language").
QLocale stored();
void store(const QLocale &language);
// 0 for Russian, 1 for English, as the setting and the documents count.
quint32 code(const QLocale &language);

// Makes the language the application's: one translator, installed for
// English and removed for Russian, so every text asked for from now on
// follows, and every widget is sent QEvent::LanguageChange. False (and
// Russian stays) when the English translation cannot be loaded.
bool install(const QLocale &language);
// The language install() made the application's.
QLocale installed();

} // namespace Language
