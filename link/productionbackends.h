#pragma once

// Installs the backends that reach the machine's CAN interfaces, in place of
// the "no adapter" defaults. Called once by main() before the window exists.
void installProductionBackends();
