#pragma once

#include "station/reportstore.h"

#include <QObject>
#include <memory>

class QLabel;
class QProgressBar;
class QWidget;
class Station;

// What becomes of the reports, as the user sees it: a line under the read
// button on the reports being stored and waiting in the archive, the archive
// pass's progress window, and a box for a document that could not be
// written or a report that exists nowhere any more.
class StorageStatus : public QObject
{
    Q_OBJECT
public:
    // The line goes into the window's layout by its caller.
    StorageStatus(Station *station, QWidget *window);
    ~StorageStatus() override;

    QLabel *line() const { return label; }
    // The texts follow a language switch.
    void retranslate();

private:
    void showState();
    void showArchiveProgress(int stored, int total);
    void closeArchiveProgress();
    void reportDocumentFailure(const QString &path, const QString &error);
    void reportStorage(const ReportStore::Result &result);

    Station *station;
    QWidget *window;
    QLabel *label = nullptr;
    // A window of its own, as the pass runs after the main window's
    // database dialog may have closed.
    std::unique_ptr<QWidget> progressWindow;
    QProgressBar *progressBar = nullptr;
    QLabel *progressLabel = nullptr;
    bool passShown = false;
};
