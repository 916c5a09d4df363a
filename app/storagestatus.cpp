#include "app/storagestatus.h"

#include "ssu/gui/plainmessagebox.h"
#include "station/station.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

StorageStatus::StorageStatus(Station *station, QWidget *window)
    : QObject(window)
    , station(station)
    , window(window)
    , label(new QLabel(window))
    , progressWindow(std::make_unique<QWidget>())
    , progressBar(new QProgressBar(progressWindow.get()))
    , progressLabel(new QLabel(progressWindow.get()))
{
    label->setObjectName(QStringLiteral("label_Storage"));
    label->setWordWrap(true);
    label->hide();
    auto *layout = new QVBoxLayout(progressWindow.get());
    layout->addWidget(progressLabel);
    layout->addWidget(progressBar);
    progressWindow->setMinimumWidth(400);

    ReportKeeper *keeper = station->keeper();
    connect(keeper, &ReportKeeper::documentFailed, this, &StorageStatus::reportDocumentFailure);
    connect(keeper, &ReportKeeper::reportStored, this, &StorageStatus::reportStorage);
    connect(station->store(), &ReportStore::archiveProgress, this, &StorageStatus::showArchiveProgress);
    connect(station->store(), &ReportStore::archivePassFinished, this, &StorageStatus::closeArchiveProgress);
    connect(keeper, &ReportKeeper::pendingChanged, this, &StorageStatus::showState);
    // Reports piling up in the archive are shown in every mode, from the
    // start on: nothing else would say the SSU has not taken them.
    connect(keeper, &ReportKeeper::reportStored, this, &StorageStatus::showState);
    QTimer::singleShot(0, this, &StorageStatus::showState);
    retranslate();
}

StorageStatus::~StorageStatus() = default;

void StorageStatus::retranslate()
{
    progressLabel->setText(tr("Подождите..."));
    showState();
}

void StorageStatus::showState()
{
    const int storing = station->keeper()->pending();
    const int waiting = ReportStore::waitingReports();
    QStringList parts;
    if (storing > 0)
        parts << tr("Сохраняется отчётов: %1").arg(storing);
    if (station->store()->isUploadingArchive())
        parts << tr("Передача архива в ССУ, осталось: %1").arg(waiting);
    else if (waiting > 0)
        parts << tr("Отчётов ждут передачи в ССУ: %1").arg(waiting);
    label->setText(parts.join(QStringLiteral("; ")));
    label->setVisible(!parts.isEmpty());
}

void StorageStatus::showArchiveProgress(int stored, int total)
{
    progressBar->setMaximum(total);
    progressBar->setValue(stored);
    // Shown once a pass: closed by the user, it stays closed until the next.
    if (!passShown) {
        passShown = true;
        progressWindow->show();
    }
    progressWindow->update();
    showState();
}

void StorageStatus::closeArchiveProgress()
{
    passShown = false;
    progressWindow->close();
    showState();
}

void StorageStatus::reportDocumentFailure(const QString &path, const QString &error)
{
    PlainMessageBox::warning(window, tr("Внимание"), tr("Не могу сохранить файл отчёта\n") + error + QLatin1Char('\n') + path);
}

// When the report could not even be archived it exists nowhere any more,
// so the user is told.
void StorageStatus::reportStorage(const ReportStore::Result &result)
{
    if (result.outcome != ReportStore::Outcome::Lost)
        return;
    // The error may be the server's own text: shown as it stands.
    PlainMessageBox::warning(window, tr("Внимание"),
                             tr("Отчёт не передан в ССУ и не может быть сохранён в архив:\n%1\n%2")
                                 .arg(result.archivePath, result.error));
}
