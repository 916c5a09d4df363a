#pragma once

// The database test helpers (databasetest.h) together with the search dialog,
// for tests that bring the dialog online.

#include "ssu/gui/ssudialog.h"
#include "ssu/mysqlquerymodel.h"
#include "tests/support/databasetest.h"
#include "tests/support/sessioncalls.h"

#include <QTest>

namespace rvktest {

// The dialog answers a search, an order and every act on a report later, on
// the event loop; a test acts on what the user would see only once it is
// there.

// Waits until the dialog's listing exists and the first window of its latest
// search (or order) has been read. False when it was not there in time, or
// when the SSU did not answer: an empty list then shows nothing the test
// could check.
inline bool listingArrived(SSUDialog &dialog, int timeoutMs = 20000)
{
    const auto arrived = [&dialog] {
        const MySqlQueryModel *model = dialog.databaseSession()->model();
        return model && !model->isLoading();
    };
    return QTest::qWaitFor(arrived, timeoutMs) && !dialog.databaseSession()->model()->readFailed();
}

// Waits until the window that holds the row has arrived, asking for it the
// way the view does, so the row shows its report and has its identity.
inline bool rowArrived(SSUDialog &dialog, int row, int timeoutMs = 20000)
{
    return QTest::qWaitFor(
        [&dialog, row] {
            const MySqlQueryModel *model = dialog.databaseSession()->model();
            if (!model || row < 0 || row >= model->rowCount())
                return false;
            if (model->isRowLoaded(row))
                return true;
            model->reportKey(row);
            return false;
        },
        timeoutMs);
}

// Waits until every call the dialog's session was handed so far has been
// answered and its answer acted on: the session answers in the order it was
// called. What an answer starts (a refreshed listing after a delete) may
// still be under way.
inline bool sessionSettled(SSUDialog &dialog)
{
    return onDatabaseThread<bool>(dialog.databaseSession()->databaseThread(), [] { return true; });
}

} // namespace rvktest
