// Database login and the upload of archived reports.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/stylesheets.h"
#include "ssu/gui/ssudialog.h"
#include "ssu/ssusession.h"
#include "station/ssulogin.h"
#include "station/station.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>

void MainWindow::on_actionSSU_triggered()
{
    // A second press while the first log-in is answered is that log-in.
    if (loggingIn)
        return;
    QString token = SsuLogin::storedToken();
    bool confirmed = true;
    if (token.isEmpty()) {
        token = QInputDialog::getText(this, tr("Вход в ССУ"), tr("Введите пароль:"), QLineEdit::Normal, QString(),
                                      &confirmed);
        if (!confirmed)
            token.clear();
    }
    loggingIn = true;
    SsuLogin::logIn(core->session(), token, this,
                    [this, confirmed](SsuLogin::Outcome outcome) { finishLogIn(int(outcome), confirmed); });
}

void MainWindow::finishLogIn(int outcome, bool confirmed)
{
    loggingIn = false;
    switch (SsuLogin::Outcome(outcome)) {
    case SsuLogin::Outcome::Malformed:
        QMessageBox::critical(this, tr("Доступ запрещён"), tr("Неверный пароль"), QMessageBox::Ok);
        return;
    case SsuLogin::Outcome::NoConnection:
        ssuIndicator->setStyleSheet(QLatin1String(StyleSheet::IndicatorOff));
        reportNoConnection();
        return;
    case SsuLogin::Outcome::Refused:
        // A cancelled question is not a wrong password.
        if (confirmed)
            QMessageBox::critical(this, tr("Доступ запрещён"), tr("Неверный пароль"), QMessageBox::Ok);
        return;
    case SsuLogin::Outcome::Granted:
        break;
    }

    // Stations never add the shared table's keys themselves; without them
    // searches and the duplicate rule are slow on a large table.
    const int missingKeys = core->session()->missingKeys();
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
    switch (core->session()->passwordState()) {
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
