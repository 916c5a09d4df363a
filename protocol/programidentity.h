#pragma once

#include <QSettings>
#include <QString>

// What names the program to the system and to its peers: where its native
// settings live, where its translation is found, and the code that unlocks
// the service functions. Every part of the program reads them from here.
namespace ProgramIdentity {

// The native settings ("Settings/Language", "Settings/SSUid", ...) of the
// organisation and application below; the registry key on Windows.
constexpr const char *Organisation = "ZELMOR";
constexpr const char *SettingsApplication = "RVK Report";
// QSettings is returned by value: C++17 constructs it in place.
QSettings nativeSettings();

// The English translation, beside the executable.
QString translationFilePath();

// Unlocks service mode in the main window and the delete button in the
// search dialog.
constexpr int ServiceAccessCode = 583146;

} // namespace ProgramIdentity
