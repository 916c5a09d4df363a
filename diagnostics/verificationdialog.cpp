#include "diagnostics/verificationdialog.h"
#include "ui_verificationdialog.h"

#include "diagnostics/monitorparser.h"
#include "protocol/language.h"

#include <QCloseEvent>
#include <QLCDNumber>
#include <QLabel>
#include <QCoreApplication>

VerificationDialog::VerificationDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::VerificationDialog)
{
    ui->setupUi(this);
    addUnits();
}

// A unit beside each read-out of the upper panel, in a column of its own so
// the form's labels keep their texts; the accelerometer's read-outs share one
// unit, named in the lower panel's empty row.
void VerificationDialog::addUnits()
{
    const QLCDNumber *upper[] = {ui->lcdNumber_Freq, ui->lcdNumber_RPM, ui->lcdNumber_Vin,
                                 ui->lcdNumber_Vout, ui->lcdNumber_Aout, ui->lcdNumber_Temp};
    for (const QLCDNumber *lcd : upper) {
        int row = 0, column = 0, rows = 0, columns = 0;
        ui->gridLayout->getItemPosition(ui->gridLayout->indexOf(const_cast<QLCDNumber *>(lcd)), &row, &column, &rows,
                                        &columns);
        auto *unit = new QLabel(ui->frame_2);
        unit->setObjectName(lcd->objectName().replace(QLatin1String("lcdNumber_"), QLatin1String("label_"))
                            + QLatin1String("Unit"));
        ui->gridLayout->addWidget(unit, row, column + columns);
        units << unit;
    }
    accelerometerUnit = new QLabel(ui->frame);
    accelerometerUnit->setObjectName(QStringLiteral("label_AccelerometerUnit"));
    accelerometerUnit->setAlignment(Qt::AlignCenter);
    ui->gridLayout_2->addWidget(accelerometerUnit, 4, 0, 1, 4);
    retranslateUnits();
}

void VerificationDialog::retranslateUnits()
{
    const QString texts[] = {tr("Гц"), tr("об/мин"), tr("В"), tr("В"), tr("мА"), tr("°С")};
    for (int i = 0; i < units.size(); ++i)
        units.at(i)->setText(texts[i]);
    accelerometerUnit->setText(tr("Ускорение и вибрация — в g"));
}

VerificationDialog::~VerificationDialog()
{
    delete ui;
}

QLCDNumber *VerificationDialog::readOut(int sensor) const
{
    using MonitorParser::Sensor;
    switch (Sensor(sensor)) {
    case Sensor::Freq: return ui->lcdNumber_Freq;
    case Sensor::RPM: return ui->lcdNumber_RPM;
    case Sensor::Vin: return ui->lcdNumber_Vin;
    case Sensor::Vout: return ui->lcdNumber_Vout;
    case Sensor::Aout: return ui->lcdNumber_Aout;
    case Sensor::Temp: return ui->lcdNumber_Temp;
    case Sensor::Xaccel: return ui->lcdNumber_Xaccel;
    case Sensor::Yaccel: return ui->lcdNumber_Yaccel;
    case Sensor::MaximalX: return ui->lcdNumber_Maximal_X;
    case Sensor::AverageX: return ui->lcdNumber_Average_X;
    case Sensor::MaximalY: return ui->lcdNumber_Maximal_Y;
    case Sensor::AverageY: return ui->lcdNumber_Average_Y;
    case Sensor::DataMaximal: return ui->lcdNumber_dataMaximal;
    }
    return nullptr;
}

void VerificationDialog::parseMonitorText(const QString &text)
{
    const QVector<MonitorParser::Reading> readings = MonitorParser::parse(text);
    for (const MonitorParser::Reading &reading : readings) {
        if (QLCDNumber *lcd = readOut(int(reading.sensor)))
            lcd->display(reading.value);
    }
}

void VerificationDialog::slotSetLanguage(uchar lang)
{
    if (lang > 1)
        return;
    // The application's one translator; a dialog used on its own switches it.
    Language::install(lang == 1 ? Language::english() : Language::russian());
    retranslate(lang);
}

void VerificationDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && ui)
        retranslate(Language::code(Language::installed()));
    QDialog::changeEvent(event);
}

// English keeps the form's own title when its translation is missing.
void VerificationDialog::retranslate(quint32 language)
{
    ui->retranslateUi(this);
    retranslateUnits();
    if (language == 0)
        setWindowTitle(tr("Значения датчиков"));
}

void VerificationDialog::reject()
{
    close();
}

void VerificationDialog::closeEvent(QCloseEvent *event)
{
    emit VerificationDialogClosed();
    event->accept();
}
