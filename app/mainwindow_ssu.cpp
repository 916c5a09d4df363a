// Database login and the upload of archived reports.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "protocol/programidentity.h"
#include "ssu/deployment.h"
#include "ssu/privatesettings.h"
#include "ssu/ssudialog.h"
#include "ssu/tokencipher.h"
#include "station/station.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QSettings>
#include <QVBoxLayout>

namespace {
const char *const tokenKey = "Settings/SSUid";
} // namespace

void MainWindow::on_actionSSU_triggered()
{
    QSettings settings = ProgramIdentity::nativeSettings();
    makeSettingsPrivate(settings);
    TokenCipher cipher;
    cipher.setKey(Deployment::key());

    const QString storedToken = settings.value(QLatin1String(tokenKey)).toString();
    QString token = storedToken;
    bool confirmed = true;
    if (token.isEmpty()) {
        token = QInputDialog::getText(this, tr("Вход в ССУ"), tr("Введите пароль:"), QLineEdit::Normal, QString(),
                                      &confirmed);
        if (!confirmed)
            token.clear();
    }

    // Too short to be a token: refused before any connection attempt.
    if (token.size() == 1) {
        QMessageBox::critical(this, tr("Доступ запрещён"), tr("Неверный пароль"), QMessageBox::Ok);
        return;
    }
    const QString plain = token.size() >= 2 ? cipher.decryptText(token) : QString();

    ssuDialog->databaseSession()->fetchPasswordIfMissing();
    if (!ssuDialog->connectAndCreateTable()) {
        ssuIndicator->setStyleSheet(QLatin1String(StyleSheet::IndicatorOff));
        reportNoConnection();
        return;
    }

    // A token that does not decrypt never matches, even when the download
    // did not decrypt either.
    const bool granted = confirmed && !token.isEmpty() && !plain.isEmpty() && plain == ssuDialog->dbPassword();
    if (!granted) {
        if (confirmed)
            QMessageBox::critical(this, tr("Доступ запрещён"), tr("Неверный пароль"), QMessageBox::Ok);
        settings.setValue(QLatin1String(tokenKey), QString());
        return;
    }

    if (storedToken.isEmpty())
        settings.setValue(QLatin1String(tokenKey), token);
    // Stations never add the shared table's keys themselves; without them
    // searches and the duplicate rule are slow on a large table.
    const int missingKeys = ssuDialog->databaseSession()->missingKeys();
    if (missingKeys > 0)
        ui->statusbar->showMessage(tr("В таблице ССУ не хватает ключей и индексов (%1): нужен шаг администратора "
                                      "(scripts/ssu-admin).")
                                       .arg(missingKeys));
    ssuDialog->setLanguage(uchar(language));
    ssuIndicator->setStyleSheet(QLatin1String(StyleSheet::IndicatorOn));
    core->store()->uploadArchive();
    ssuDialog->searchBySerialNumber();
    ssuDialog->show();
}

// Says which of the two servers failed: the password file's web server or
// the database itself, so the user knows whom to ask.
void MainWindow::reportNoConnection()
{
    QMessageBox box(QMessageBox::Critical, tr("Ошибка"), tr("Отсутствует подключение к БД"), QMessageBox::Ok, this);
    switch (ssuDialog->databaseSession()->passwordState()) {
    case SsuSession::PasswordState::NotFetched:
    case SsuSession::PasswordState::Unreachable:
        box.setInformativeText(tr("Не удалось получить файл пароля с веб-сервера ССУ."));
        break;
    case SsuSession::PasswordState::Unreadable:
        box.setInformativeText(tr("Файл пароля с веб-сервера ССУ не расшифровывается."));
        break;
    case SsuSession::PasswordState::Received:
        box.setInformativeText(tr("Сервер базы данных ССУ недоступен или не принял подключение."));
        break;
    }
    box.exec();
}

void MainWindow::showArchiveProgress(int stored, int total)
{
    progressBarUpload->setMaximum(total);
    progressBarUpload->setValue(stored);
    if (!progressWindowPrepared) {
        progressLabel->setText(tr("Подождите..."));
        progressLayout->addWidget(progressLabel);
        progressLayout->addWidget(progressBarUpload);
        progressWindow->setLayout(progressLayout);
        progressWindow->setMinimumWidth(400);
        progressWindow->show();
        progressWindowPrepared = true;
    }
    progressWindow->update();
    waitMs(1);
}

void MainWindow::closeArchiveProgress()
{
    progressWindow->close();
}
