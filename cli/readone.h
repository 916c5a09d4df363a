#pragma once

#include "cli/commandcontext.h"
#include "report/comparisondocument.h"
#include "station/readout.h"
#include "station/reportstore.h"

#include <QJsonObject>
#include <QString>

#include <optional>

class Station;

// One full read-out as "read" makes it, and what followed it: the
// document, the comparison and where the report went.
struct ReadOne
{
    // Done when a whole report was kept as asked; otherwise the exit code
    // that says what went wrong (the message is already on err).
    int code = ExitCode::Done;
    std::optional<Readout> readout;
    QString document;
    QString comparison;
    std::optional<ComparisonSummary> summary;
    std::optional<ReportStore::Result> stored;
};

// Asks the module for its report and waits for it, its document and its
// storage, telling on err what went wrong (and the progress, if asked).
ReadOne readOne(Station &station, CommandContext &context, bool showProgress);

// The read-out for scripts: dates in ISO 8601 ("yyyy-MM-ddTHH:mm:ss", the
// station's wall clock without zone; release date "yyyy-MM-dd"), operating
// times in minutes, histograms as arrays of percents, unknown values null;
// for a transfer that was not whole, only what arrived.
QJsonObject readoutJson(const ReadOne &read);

// The line the production line's loop prints for a whole read-out: serial
// number, document, where the report went, the comparison.
QString readoutLine(const ReadOne &read);

// rvk-report read --loop, on a station whose link is open.
int readLoop(Station &station, CommandContext &context);
