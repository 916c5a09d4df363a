// Window geometry, the language switch and the About box.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "diagnostics/dbgtextedit.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/verificationdialog.h"
#include "protocol/language.h"
#include "protocol/programidentity.h"
#include "app/monitorcontroller.h"
#include "app/servicecontrols.h"
#include "app/storagestatus.h"
#include "ssu/gui/ssudialog.h"
#include "station/station.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSettings>

// Says where the translation was looked for: an installation that starts in
// Russian although English was chosen is diagnosed with
// QT_LOGGING_RULES="rvk.language.debug=true".
Q_LOGGING_CATEGORY(lcLanguage, "rvk.language")

namespace {
// The build's version, "v" and CMake's project version.
const char *const programVersion = "v" RVK_VERSION;

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
    monitorControls->setSensorDialogPlaced(iniSettings->contains(QStringLiteral("DiagGeometry"))
                                           || iniSettings->contains(QStringLiteral("DiagPos")));
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
    // Texts the window sets outside its form follow too. At start-up the
    // switch runs before the status bar is built.
    if (kivoIndicator)
        kivoIndicator->setToolTip(tr("Индикатор подключения к KIVO"));
    if (ssuIndicator) {
        ssuIndicator->setText(tr(" SSU "));
        ssuIndicator->setToolTip(tr("Индикатор подключения к ССУ"));
    }
    storageStatus->retranslate();
    if (serviceControls)
        serviceControls->retranslate();
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
