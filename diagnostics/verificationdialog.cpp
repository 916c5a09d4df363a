#include "verificationdialog.h"

#include <QCloseEvent>

VerificationDialog::VerificationDialog(QWidget *parent)
    : QDialog(parent)
{
}

VerificationDialog::~VerificationDialog() = default;

void VerificationDialog::parseMonitorText(const QString &)
{
}

void VerificationDialog::slotSetLanguage(uchar)
{
}

void VerificationDialog::closeEvent(QCloseEvent *event)
{
    emit VerificationDialogClosed();
    event->accept();
}
