#pragma once

// The session's calls as a test waits for them: each runs the event loop
// until its outcome arrives (or the bound passes), so a test reads like the
// sequence of steps it checks. Only tests wait like this; the program hears
// of every outcome as a callback.

#include "ssu/driver/databasethread.h"
#include "ssu/ssusession.h"

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

namespace rvktest {

// Runs call(context, done) and waits for done; failed when it never came.
template <class Result>
Result awaitCall(const std::function<void(QObject *, std::function<void(Result)>)> &call, Result failed = Result(),
                 int timeoutMs = 120000)
{
    QObject context;
    QEventLoop loop;
    std::optional<Result> result;
    call(&context, [&](Result value) {
        result = std::move(value);
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!result)
        loop.exec();
    return result ? *result : failed;
}

// Work run on the database thread, its result awaited.
template <class Result>
Result onDatabaseThread(DatabaseThread *thread, std::function<Result()> work, Result failed = Result())
{
    return awaitCall<Result>(
        [&](QObject *context, std::function<void(Result)> done) { thread->post<Result>(work, context, done); },
        failed);
}

namespace Sync {

inline bool connect(SsuSession *session)
{
    return awaitCall<bool>([&](QObject *c, std::function<void(bool)> d) { session->connectDatabase(c, d); });
}

inline bool connectAndCreateTable(SsuSession *session)
{
    return awaitCall<bool>([&](QObject *c, std::function<void(bool)> d) { session->connectAndCreateTable(c, d); });
}

inline bool fetchPassword(SsuSession *session)
{
    return awaitCall<bool>([&](QObject *c, std::function<void(bool)> d) { session->fetchPasswordIfMissing(c, d); });
}

// What became of the upload: inserted, replaced or failed (and why).
inline UploadResult store(SsuSession *session, const QByteArray &record)
{
    return awaitCall<UploadResult>(
        [&](QObject *c, std::function<void(UploadResult)> d) { session->uploadReport(record, c, d); });
}

// Whether the report is in the SSU now, inserted or replacing its copy.
inline bool upload(SsuSession *session, const QByteArray &record)
{
    return store(session, record).ok;
}

inline bool upload(SsuSession *session, const QByteArray &record, const QString &date)
{
    return awaitCall<UploadResult>([&](QObject *c, std::function<void(UploadResult)> d) {
               session->uploadReport(record, date, c, d);
           }).ok;
}

inline StoredReportResult open(SsuSession *session, const StoredReportKey &key, ReportValues *values = nullptr)
{
    const StoredReport found = awaitCall<StoredReport>(
        [&](QObject *c, std::function<void(StoredReport)> d) { session->openReport(key, c, d); });
    if (values && found.result == StoredReportResult::Done)
        *values = found.values;
    return found.result;
}

inline StoredReportResult remove(SsuSession *session, const StoredReportKey &key)
{
    return awaitCall<StoredReportResult>(
        [&](QObject *c, std::function<void(StoredReportResult)> d) { session->deleteReport(key, c, d); },
        StoredReportResult::Failed);
}

inline StoredReportResult latest(SsuSession *session, quint32 sn, ReportValues *values)
{
    const StoredReport found = awaitCall<StoredReport>(
        [&](QObject *c, std::function<void(StoredReport)> d) { session->latestReport(sn, c, d); });
    if (found.result == StoredReportResult::Done)
        *values = found.values;
    return found.result;
}

inline bool history(SsuSession *session, quint32 sn, QVector<ModuleReport> *reports)
{
    const ModuleHistoryRead read = awaitCall<ModuleHistoryRead>(
        [&](QObject *c, std::function<void(ModuleHistoryRead)> d) { session->moduleHistory(sn, c, d); });
    *reports = read.reports;
    return read.read;
}

} // namespace Sync
} // namespace rvktest
