// rvk-report adapters: the interfaces an adapter may be chosen from.
#include "cli/commandcontext.h"

#include "station/station.h"

int adaptersCommand(CommandContext &context)
{
    Station station;
    QStringList found;
    QObject::connect(station.supervisor(), &LinkSupervisor::adaptersChanged,
                     [&found](const QStringList &adapters, int) { found = adapters; });
    station.supervisor()->refreshAdapters();
    for (const QString &adapter : found)
        context.out << adapter << '\n';
    context.out.flush();
    return found.isEmpty() ? ExitCode::NoAdapter : ExitCode::Done;
}
