#pragma once

// The database test helpers (databasetest.h) together with the search dialog,
// for tests that bring the dialog online.

#include "ssu/gui/ssudialog.h"
#include "tests/support/databasetest.h"
