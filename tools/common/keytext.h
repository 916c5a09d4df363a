#pragma once

#include <QString>

// An installation key as the administrator writes it: up to 16 hex digits,
// with or without "0x"; false for anything else.
bool parseKeyText(const QString &text, quint64 *key);
