#include "productionbackends.h"

void installProductionBackends()
{
}
