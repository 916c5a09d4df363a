#pragma once

// Helpers for tests that run the window on the production link backends
// against the simulated module, in the same process or as a process of its
// own (tests named "_vcan").
// Header-only because the support library links neither the backends nor
// the simulator; every such test executable does.

#include "link/canbusd2xx.h"
#include "link/canbusdriver.h"
#include "link/ktxcanfunctions.h"
#include "tools/rvk-module-sim/simulatedmodule.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

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

// A virtual bus address on a port free at the time of asking, for a
// simulator running as a process of its own (this process may already host
// a bus of its own, see SimulatedModule::privateVirtualBus()).
inline QString freeProcessBus()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return QString();
    return QStringLiteral("virtualcan/tcp://127.0.0.1:%1/can0").arg(probe.serverPort());
}

// The rvk-module-sim program built beside the tests, as a process of its own.
class SimulatorProcess
{
public:
    static QString program() { return QCoreApplication::applicationDirPath() + QStringLiteral("/rvk-module-sim"); }
    static bool isBuilt() { return QFileInfo::exists(program()); }

    ~SimulatorProcess() { stop(); }

    // Starts the simulator on the bus and waits until it says it has joined.
    bool start(const QString &bus, int timeoutMs = 5000)
    {
        m_output.clear();
        process.start(program(), {QStringLiteral("--bus"), bus});
        return process.waitForStarted() && waitForOutput("joined", timeoutMs);
    }
    // Ends it the way a user does, and waits for it to be gone.
    bool stop()
    {
        if (process.state() == QProcess::NotRunning)
            return true;
        process.terminate();
        return process.waitForFinished(5000);
    }
    // Waits until everything the simulator printed so far holds text.
    bool waitForOutput(const QByteArray &text, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return output().contains(text); }, timeoutMs);
    }
    QByteArray output()
    {
        m_output += process.readAllStandardOutput();
        return m_output;
    }
    void clearOutput()
    {
        output();
        m_output.clear();
    }

    QProcess process;

private:
    QByteArray m_output;
};

} // namespace rvktest
