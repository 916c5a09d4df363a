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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLCDNumber *readOut(int sensor) const;

    Ui::VerificationDialog *ui = nullptr;
    QTranslator translator;
};
