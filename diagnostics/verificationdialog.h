#pragma once

#include <QDialog>
#include <QTranslator>

class QLCDNumber;

namespace Ui {
class VerificationDialog;
}

// Thirteen LCD read-outs of the sensor values found in the monitor text.
class VerificationDialog : public QDialog
{
    Q_OBJECT
public:
    explicit VerificationDialog(QWidget *parent = nullptr);
    ~VerificationDialog() override;

    void parseMonitorText(const QString &text);

signals:
    void VerificationDialogClosed();

public slots:
    void slotSetLanguage(uchar lang);
    // Escape lands here; it closes like the title bar's button, so the
    // monitor is switched off rather than left streaming behind a hidden dialog.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLCDNumber *readOut(int sensor) const;

    Ui::VerificationDialog *ui = nullptr;
    QTranslator translator;
};
