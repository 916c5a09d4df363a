// A module that does not answer: the notice under the form.
#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "station/station.h"

#include <QLabel>

namespace {
// Between the form and the progress bar, in a row the form leaves empty.
constexpr int noticeRow = 13;
} // namespace

void MainWindow::setUpAnswerWatch()
{
    moduleNotice = new QLabel(this);
    moduleNotice->setObjectName(QStringLiteral("label_ModuleNotice"));
    moduleNotice->setWordWrap(true);
    moduleNotice->setStyleSheet(QStringLiteral("color:red;"));
    moduleNotice->hide();
    ui->gridLayout_5->addWidget(moduleNotice, noticeRow, 0);
    connect(core, SIGNAL(moduleSilent(int)), this, SLOT(slotModuleSilent(int)));
    connect(core, SIGNAL(commandUnanswered(quint16)), this, SLOT(slotCommandUnanswered()));
}

// Not a box: the user may be busy elsewhere, and the notice stays readable
// until the next request takes it away.
void MainWindow::showModuleNotice(const QString &text)
{
    moduleNotice->setText(text);
    moduleNotice->show();
}

void MainWindow::clearModuleNotice()
{
    moduleNotice->clear();
    moduleNotice->hide();
}

void MainWindow::slotModuleSilent(int framesReceived)
{
    if (framesReceived == 0)
        showModuleNotice(tr("Модуль не отвечает. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
    else
        showModuleNotice(tr("Модуль перестал отвечать: прочитано %1 % отчёта. Проверьте адаптер KIVO, кабель и "
                            "питание модуля RVK и прочитайте отчёт ещё раз.")
                             .arg(ui->progressBar->value()));
}

void MainWindow::slotCommandUnanswered()
{
    showModuleNotice(tr("Модуль не подтвердил команду. Проверьте адаптер KIVO, кабель и питание модуля RVK."));
}
