#pragma once

class QSettings;

// The program's native settings hold the SSU login token, which opens the
// shared database to whoever holds it. Where the store is a file (Linux and
// other Unix systems), the file is made, or created, readable and writable by
// its owner only; the settings rewrite it keeping those permissions. Call it
// before a token is stored. Elsewhere (the Windows registry) it does nothing.
void makeSettingsPrivate(const QSettings &settings);
