#include "productionbackends.h"

#include "canbusd2xx.h"
#include "canbusdriver.h"

void installProductionBackends()
{
    installD2xx(std::make_unique<CanBusD2xx>());
    installKtxDriver(std::make_unique<CanBusDriver>());
}
