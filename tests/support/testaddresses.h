#pragma once

#include "ssu/driver/databasehosts.h"

namespace rvktest {
// Where the test database answers (scripts/test-db, -DRVK_TEST_DB_ADDRESS),
// which is never taken from the build's deployment values.
DatabaseHost testDatabaseHost();
// Points every session made from now on at the test database, with the
// password looked for where nothing answers: only a test that serves the
// password itself gets a connection. Every test process does this at start.
void useTestEndpoints();
} // namespace rvktest
