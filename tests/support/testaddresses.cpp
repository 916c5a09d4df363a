#include "tests/support/testaddresses.h"

#include "ssu/ssuendpoints.h"
#include "tests/support/httpfileserver.h"

namespace rvktest {

DatabaseHost testDatabaseHost()
{
    return parseDatabaseHosts(QStringLiteral(RVK_TEST_DB_ADDRESS), 3666).value(0);
}

void useTestEndpoints()
{
    const DatabaseHost database = testDatabaseHost();
    SsuEndpoints endpoints;
    endpoints.databaseHosts = QStringLiteral("%1:%2").arg(database.name).arg(database.port);
    endpoints.passwordUrl = HttpFileServer::unreachableUrl(QStringLiteral("/downloads/ssu.pas"));
    SsuEndpoints::replace(endpoints);
}

} // namespace rvktest
