#pragma once

#include "link/libraryproblem.h"
#include "link/win/dynamiclibrary.h"

#include <vector>

struct UnusableLibrary
{
    AdapterLibrary library;
    LibraryFailure failure;
};

// Installs the backends that reach the adapters, in place of the "no
// adapter" defaults. Called once by main() before the window exists; the
// libraries it could not use are returned for the user to be told once the
// window (and with it the chosen language) is there.
//
// On Windows the original adapter is driven through its vendor libraries.
// Without the driver library the machine's Qt CAN interfaces are offered
// instead; without the FTDI library the driver still opens the adapter chosen
// last. Elsewhere the Qt CAN interfaces are used and nothing is returned.
std::vector<UnusableLibrary> installProductionBackends();

// Qt's CAN bus plugins report at every start each vendor library that is not
// installed, and the virtual bus its port: nothing a user can act on. Rules
// in QT_LOGGING_RULES come after these and win, so
// QT_LOGGING_RULES="qt.canbus*=true" shows them again.
void quietCanBusPlugins();
