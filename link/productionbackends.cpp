#include "link/productionbackends.h"

#include <QLoggingCategory>

#include "link/d2xxfunctions.h"
#include "link/ktxcanfunctions.h"

#ifdef RVK_QT_CANBUS
#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#else
#include "link/noadapterdriver.h"
#endif

#ifdef Q_OS_WIN
#include "link/win/ftd2xxlibrary.h"
#include "link/win/ktxdlldriver.h"
#endif

namespace {
void installQtCanBackends()
{
#ifdef RVK_QT_CANBUS
    installD2xx(std::make_unique<CanBusD2xx>());
    installKtxDriver(std::make_unique<CanBusDriver>());
#else
    // A build without Qt's CAN module has no other way to an adapter.
    installD2xx(nullptr);
    installKtxDriver(std::make_unique<NoAdapterDriver>());
#endif
}
} // namespace

std::vector<UnusableLibrary> installProductionBackends()
{
    std::vector<UnusableLibrary> unusable;
#ifdef Q_OS_WIN
    LibraryFailure driverFailure;
    std::unique_ptr<KtxDllDriver> driver = KtxDllDriver::load(KtxDllDriver::defaultFileName, driverFailure);
    if (!driver) {
        unusable.push_back({AdapterLibrary::Driver, driverFailure});
        installQtCanBackends();
        return unusable;
    }
    LibraryFailure ftdiFailure;
    std::unique_ptr<Ftd2xxLibrary> ftdi = Ftd2xxLibrary::load(Ftd2xxLibrary::defaultFileName, ftdiFailure);
    if (!ftdi)
        unusable.push_back({AdapterLibrary::Ftdi, ftdiFailure});
    // A null FTDI backend installs the one with no devices attached.
    installD2xx(std::move(ftdi));
    installKtxDriver(std::move(driver));
#else
    installQtCanBackends();
#endif
    return unusable;
}

void quietCanBusPlugins()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.canbus.plugins.peakcan=false\n"
                                                    "qt.canbus.plugins.tinycan=false\n"
                                                    "qt.canbus.plugins.virtualcan.info=false"));
}
