#pragma once

#include <QString>

// Text from outside the program (a server's error, a stored value) as it may
// go to a terminal: escape sequences could otherwise set the title, clear the
// screen or draw a prompt the user did not ask for. Line feeds and tabs stay;
// every other C0 and C1 control character, and DEL, becomes U+FFFD, so that
// the user still sees that something was there.
QString terminalSafe(const QString &text);
