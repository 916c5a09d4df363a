// Window geometry, the language switch, the About box and the service mode.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/language.h"
#include "protocol/programidentity.h"
#include "ssu/gui/ssudialog.h"
#include "station/station.h"
#include "station/timing.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

// Says where the translation was looked for: an installation that starts in
// Russian although English was chosen is diagnosed with
// QT_LOGGING_RULES="rvk.language.debug=true".
Q_LOGGING_CATEGORY(lcLanguage, "rvk.language")

namespace {
// The build's version, "v" and CMake's project version.
const char *const programVersion = "v" RVK_VERSION;

// Service staff use the same access code as for deleting stored reports in
// the database dialog, so there is one code to hand out.

QString versionedTitle(const QString &name)
{
    return name + QLatin1Char(' ') + QLatin1String(programVersion);
}

// The ini file is a text file anyone may edit. A value that is not a size or
// a position, or one no screen could show, keeps the default instead of
// shrinking a window to nothing or putting it out of reach.
constexpr int smallestEdge = 100;
constexpr int farthest = 16384;

QSize storedSize(const QSettings &ini, const QString &key)
{
    const QVariant value = ini.value(key);
    const QSize size = value.userType() == QMetaType::QSize ? value.toSize() : QSize();
    if (size.width() < smallestEdge || size.height() < smallestEdge || size.width() > farthest
        || size.height() > farthest)
        return QSize(400, 400);
    return size;
}

QPoint storedPosition(const QSettings &ini, const QString &key)
{
    const QVariant value = ini.value(key);
    if (value.userType() != QMetaType::QPoint)
        return QPoint(200, 200);
    const QPoint point = value.toPoint();
    if (qAbs(point.x()) > farthest || qAbs(point.y()) > farthest)
        return QPoint(200, 200);
    return point;
}

} // namespace

void MainWindow::loadWindowSettings()
{
    iniSettings->beginGroup(QStringLiteral("MainWindow"));
    // Qt's own geometry keeps the frame apart from the contents, so a window
    // comes back exactly where it was closed; the size and position keys are
    // still read when it is missing (an ini file from an older version) and
    // still written for whoever reads them.
    const auto restore = [this](QWidget *window, const char *geometry, const char *size, const char *position) {
        if (window->restoreGeometry(iniSettings->value(QLatin1String(geometry)).toByteArray()))
            return;
        window->resize(storedSize(*iniSettings, QLatin1String(size)));
        window->move(storedPosition(*iniSettings, QLatin1String(position)));
    };
    restore(this, "WinGeometry", "WinSize", "WinPos");
    restore(monitor, "DbgGeometry", "DbgSize", "DbgPos");
    restore(verificationDialog, "DiagGeometry", "DiagSize", "DiagPos");
    sensorDialogPlaced = iniSettings->contains(QStringLiteral("DiagGeometry"))
                         || iniSettings->contains(QStringLiteral("DiagPos"));
    iniSettings->endGroup();
    // Stored on another screen set-up (a second monitor since unplugged, a
    // larger display): kept on a screen that exists, whole. The main window
    // is fitted by main() once it has its start-up height.
    ScreenFit::fitToScreen(monitor);
    ScreenFit::fitToScreen(verificationDialog);
}

void MainWindow::saveWindowSettings()
{
    iniSettings->beginGroup(QStringLiteral("MainWindow"));
    iniSettings->setValue(QStringLiteral("WinSize"), size());
    iniSettings->setValue(QStringLiteral("WinPos"), pos());
    iniSettings->setValue(QStringLiteral("DbgSize"), monitor->size());
    iniSettings->setValue(QStringLiteral("DbgPos"), monitor->pos());
    iniSettings->setValue(QStringLiteral("DiagSize"), verificationDialog->size());
    iniSettings->setValue(QStringLiteral("DiagPos"), verificationDialog->pos());
    iniSettings->setValue(QStringLiteral("WinGeometry"), saveGeometry());
    iniSettings->setValue(QStringLiteral("DbgGeometry"), monitor->saveGeometry());
    iniSettings->setValue(QStringLiteral("DiagGeometry"), verificationDialog->saveGeometry());
    iniSettings->endGroup();
    // Written now rather than at exit, so a crash or a killed process does
    // not lose the placement.
    iniSettings->sync();
}

// retranslateUi puts the form's placeholders back into the labels the
// read-out fills; the values of the last report must survive a switch.
void MainWindow::restoreFormValues()
{
    const KeyValues &values = core->lastReadout().values;
    ui->label_FWVersion->setText(QLatin1Char('v') + values.firmwareText);
    ui->label_TotalTime->setText(values.totalTimeText);
    ui->label_IRTime->setText(values.repairTimeText);
    ui->spinBox_SNValue->setValue(values.serialNumber);
}

// Texts the window sets itself, outside its form, follow the switch too. At
// start-up the switch runs before the status bar is built.
void MainWindow::retranslateOwnTexts()
{
    if (storageLabel)
        showStorageState();
    if (kivoIndicator)
        kivoIndicator->setToolTip(tr("Индикатор подключения к KIVO"));
    if (ssuIndicator) {
        ssuIndicator->setText(tr(" SSU "));
        ssuIndicator->setToolTip(tr("Индикатор подключения к ССУ"));
    }
    if (progressLabel)
        progressLabel->setText(tr("Подождите..."));
    showMonitorTitle();
}

void MainWindow::on_actionLangEng_triggered()
{
    switchLanguage(Language::english());
}

void MainWindow::on_actionLangRus_triggered()
{
    switchLanguage(Language::russian());
}

// The application's one translator follows the choice; the window and the
// dialogs retranslate at once, and any window also on QEvent::LanguageChange.
void MainWindow::switchLanguage(const QLocale &wanted)
{
    language = Language::code(wanted);
    core->keeper()->setDocumentLanguage(language);
    Language::store(wanted);
    ui->actionLangRus->setChecked(language == 0);
    ui->actionLangEng->setChecked(language == 1);
    if (!Language::install(wanted)) {
        setWindowTitle(versionedTitle(QStringLiteral("RVK Report")));
        qCWarning(lcLanguage) << "English translation not found:" << ProgramIdentity::translationFilePath();
        QMessageBox::warning(this, tr("Внимание"), tr("Отсутствует файл перевода"), QMessageBox::Ok);
        ui->actionLangRus->setChecked(true);
        ui->actionLangEng->setChecked(false);
        return;
    }
    if (language == 1)
        qCDebug(lcLanguage) << "English translation loaded from" << ProgramIdentity::translationFilePath();
    ssuDialog->setLanguage(uchar(language));
    retranslateWindow();
    emit signalSetLanguage(uchar(language));
}

void MainWindow::retranslateWindow()
{
    ui->retranslateUi(this);
    setWindowTitle(versionedTitle(language == 1 ? QStringLiteral("RVK Report") : QStringLiteral("RVK Отчёт")));
    restoreFormValues();
    retranslateOwnTexts();
    ui->dateEdit->setLocale(language == 1 ? QLocale(QLocale::English) : QLocale(QLocale::Russian));
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && ui)
        retranslateWindow();
    QMainWindow::changeEvent(event);
}

void MainWindow::on_actionInfo_triggered()
{
    const bool russian = language == 0;
    const QString name = russian ? QStringLiteral("RVK Отчёт") : QStringLiteral("RVK Report");
    const QString organisation = russian ? QStringLiteral("ООО ZELMOR") : QStringLiteral("ZELMOR");
    const QString text = QStringLiteral("<img src=://icon/RVKReport.ico><center><br><span style=font-weight:bold>") + name
        + QStringLiteral("</span></br><br>") + QLatin1String(programVersion) + QStringLiteral("</br><br>")
        + tr("Сервисная программа модуля питания генератора RVK") + QStringLiteral("</br><br><a href=")
        + QStringLiteral(RVK_WEB_SITE) + QLatin1Char('>') + organisation + QStringLiteral("</a></br></center>");
    QMessageBox::about(this, tr("О программе"), text);
}

void MainWindow::installServiceModeShortcut()
{
    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    connect(shortcut, &QShortcut::activated, this, &MainWindow::enterServiceMode);
}

// The service controls stay hidden for ordinary users; staff who know the
// access code reveal them for the rest of the run. Nothing is stored, so the
// next start is an ordinary one again.
void MainWindow::enterServiceMode()
{
    if (serviceMode)
        return;
    bool accepted = false;
    const QString code = QInputDialog::getText(this, tr("Сервисный режим"), tr("Код доступа:"), QLineEdit::Password,
                                               QString(), &accepted);
    if (!accepted)
        return;
    if (code != QString::number(ProgramIdentity::ServiceAccessCode)) {
        QMessageBox::warning(this, tr("Внимание"), tr("Неверный код доступа"), QMessageBox::Ok);
        return;
    }
    serviceMode = true;
    for (QWidget *widget : {static_cast<QWidget *>(ui->pushButton_SetSN), static_cast<QWidget *>(ui->pushButton_SetDate),
                            static_cast<QWidget *>(ui->pushButton_SetHit), static_cast<QWidget *>(ui->pushButton_IRTClear),
                            static_cast<QWidget *>(ui->pushButton_EEPROMClear), static_cast<QWidget *>(ui->spinBox_SNValue),
                            static_cast<QWidget *>(ui->dateEdit), static_cast<QWidget *>(ui->spinBox_HitValue),
                            static_cast<QWidget *>(ui->pushButton_MonitorOn),
                            static_cast<QWidget *>(ui->pushButton_MonitorOff),
                            static_cast<QWidget *>(ui->checkBox_WriteToFile), static_cast<QWidget *>(ssuIndicator)}) {
        widget->setEnabled(true);
        widget->show();
    }
    ui->actionSSU->setVisible(true);
    trendsAction->setVisible(true);
    fleetAction->setVisible(true);
    armWipeButtons();
}

// The controls appear under the pointer that just answered the access code;
// a second, hasty click there must not start a wipe, so the two wipe buttons
// take clicks only a moment after they appear.
void MainWindow::armWipeButtons()
{
    ui->pushButton_IRTClear->setEnabled(false);
    ui->pushButton_EEPROMClear->setEnabled(false);
    QTimer::singleShot(StationTimings::current().wipeArmingMs, this, [this] {
        ui->pushButton_IRTClear->setEnabled(true);
        ui->pushButton_EEPROMClear->setEnabled(true);
    });
}
