#pragma once

#include "ssu/modulehistory.h"

#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;
class QwtPlot;
class QwtPlotCurve;

// One module's stored reports over time: its operating hours, impacts and
// the hours in each parameter's top range charted on a date axis, the
// reports in a table, and from there the comparison of any two of them and
// a CSV file of all.
class ModuleHistoryWindow : public QWidget
{
    Q_OBJECT
public:
    // reports: oldest first, as SsuSession::moduleHistory() gives them.
    // language: the documents' (1 English, otherwise Russian).
    ModuleHistoryWindow(quint32 sn, const QVector<ModuleReport> &reports, quint32 language, QWidget *parent = nullptr);

    quint32 serialNumber() const { return sn; }
    void setLanguage(quint32 code);

signals:
    // The comparison of the two chosen reports was written there.
    void comparisonWritten(const QString &path);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void compareSelected();
    void exportCsv();
    void updateCompareButton();

private:
    void buildCharts();
    void fillTable();
    void retranslate();
    QVector<ReportValues> values() const;

    quint32 sn = 0;
    QVector<ModuleReport> reports;
    quint32 language = 0;

    QwtPlot *hoursPlot = nullptr;
    QwtPlot *rangesPlot = nullptr;
    QVector<QwtPlotCurve *> hoursCurves;
    QVector<QwtPlotCurve *> rangeCurves;
    QTableWidget *table = nullptr;
    QLabel *summary = nullptr;
    QPushButton *compareButton = nullptr;
    QPushButton *exportButton = nullptr;
};
