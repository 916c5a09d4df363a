#pragma once

#include <QDialog>
#include <QList>

class QLCDNumber;
class QLabel;

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
    void changeEvent(QEvent *event) override;

private:
    QLCDNumber *readOut(int sensor) const;
    void addUnits();
    void retranslateUnits();
    void retranslate(quint32 language);

    Ui::VerificationDialog *ui = nullptr;
    QList<QLabel *> units;
    QLabel *accelerometerUnit = nullptr;
};
