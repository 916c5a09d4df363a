#pragma once

#include <QString>

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
// Connects the session (which uploads the archive first) and checks the
// token; a token granted for the first time is kept.
Outcome logIn(SsuSession *session, const QString &token);

} // namespace SsuLogin
