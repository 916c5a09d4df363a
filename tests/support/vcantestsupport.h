#pragma once

// Helpers for tests that run the window on the production link backends
// against the simulated module in the same process (tests named "_vcan").
// Header-only because the support library links neither the backends nor
// the simulator; every such test executable does.

#include "canbusd2xx.h"
#include "canbusdriver.h"
#include "ktxcanfunctions.h"
#include "simulatedmodule.h"

#include <memory>

namespace rvktest {

// Starts the module on a private virtual bus of its own (options.bus is
// replaced) and installs the backends so that the window lists and opens
// exactly that bus. Returns null, with the reason in error, when it cannot.
inline std::unique_ptr<SimulatedModule> startModuleOnPrivateBus(SimulatedModuleOptions options, QString *error)
{
    const QString bus = SimulatedModule::privateVirtualBus();
    options.bus = bus;
    auto module = std::make_unique<SimulatedModule>(options);
    if (!module->start(error))
        return nullptr;
    installD2xx(std::make_unique<CanBusD2xx>([bus] { return QStringList{bus}; }));
    installKtxDriver(std::make_unique<CanBusDriver>());
    return module;
}

// Leaves the bus and removes the backends again.
inline void stopModuleOnPrivateBus(std::unique_ptr<SimulatedModule> &module)
{
    module.reset();
    installKtxDriver(nullptr);
    installD2xx(nullptr);
}

} // namespace rvktest
