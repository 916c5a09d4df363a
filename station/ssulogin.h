#pragma once

#include <QString>

#include <functional>

class QObject;

class SsuSession;

// The service staff's log-in to the SSU: a token, typed once and then kept
// in the user's private settings, that must decrypt to the database password
// the password file brought.
namespace SsuLogin {

enum class Outcome {
    Granted,
    // Too short to be a token: refused before any connection attempt.
    Malformed,
    // The SSU could not be reached; the session says which server failed.
    NoConnection,
    // The token does not open the SSU; a kept one is forgotten.
    Refused,
};

// The token kept from the last log-in granted, empty when none is.
QString storedToken();
// Connects the session (which starts the archive pass) and checks the
// token; a token granted for the first time is kept. Returns at once; the
// outcome comes to done on the context's thread unless the context is gone.
void logIn(SsuSession *session, const QString &token, QObject *context, std::function<void(Outcome)> done);

} // namespace SsuLogin
