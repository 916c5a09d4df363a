#pragma once

#include <QString>

struct LibraryFailure;

// The two vendor libraries the original adapter is driven through on
// Windows. What the user loses differs: without the driver there is no KIVO
// channel at all, without the FTDI library only the adapter list.
enum class AdapterLibrary { Driver, Ftdi };

// The user's message, in the current language, for a library that could not
// be used.
QString libraryProblemTitle();
QString libraryProblemText(AdapterLibrary library, const LibraryFailure &failure);
