#include "ssu/gui/modulehistorywindow.h"

#include "report/comparisondocument.h"
#include "report/histogramtable.h"
#include "report/reporthistory.h"
#include "ssu/gui/plainmessagebox.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSplitter>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include <qwt_date.h>
#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_symbol.h>

namespace {

const QColor CurveColours[] = {Qt::darkBlue, Qt::darkGreen, Qt::darkRed, Qt::darkMagenta, Qt::darkCyan, Qt::darkYellow};

QwtPlot *datePlot(QWidget *parent)
{
    auto *plot = new QwtPlot(parent);
    plot->setCanvasBackground(Qt::white);
    // Stored dates have no zone and are read as UTC: the axis shows them as they are.
    plot->setAxisScaleEngine(QwtPlot::xBottom, new QwtDateScaleEngine(Qt::UTC));
    auto *dates = new QwtDateScaleDraw(Qt::UTC);
    dates->setDateFormat(QwtDate::Hour, QStringLiteral("dd.MM.yy hh:mm"));
    dates->setDateFormat(QwtDate::Day, QStringLiteral("dd.MM.yy"));
    dates->setDateFormat(QwtDate::Week, QStringLiteral("dd.MM.yy"));
    dates->setDateFormat(QwtDate::Month, QStringLiteral("MM.yyyy"));
    plot->setAxisScaleDraw(QwtPlot::xBottom, dates);
    // A date label is wide; more than a few would run into each other.
    plot->setAxisMaxMajor(QwtPlot::xBottom, 5);
    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QColor(225, 225, 225), 0.0, Qt::SolidLine);
    grid->attach(plot);
    plot->insertLegend(new QwtLegend, QwtPlot::RightLegend);
    plot->setMinimumSize(320, 160);
    return plot;
}

// A report is a point in time: markers show where the reports are, so
// that two far apart are not read as a steady climb.
QwtPlotCurve *curve(QwtPlot *plot, int index, const QVector<QPointF> &points, int axis = QwtPlot::yLeft)
{
    auto *line = new QwtPlotCurve;
    const QColor colour = CurveColours[index % 6];
    line->setPen(colour, 1.5);
    line->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(colour), QPen(colour), QSize(5, 5)));
    line->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    line->setSamples(points);
    line->setYAxis(axis);
    line->attach(plot);
    return line;
}

} // namespace

ModuleHistoryWindow::ModuleHistoryWindow(quint32 sn, const QVector<ModuleReport> &reports, quint32 language,
                                         QWidget *parent)
    : QWidget(parent, Qt::Window)
    , sn(sn)
    , reports(reports)
    , language(language)
{
    setObjectName(QStringLiteral("ModuleHistoryWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    layout->addWidget(splitter);
    hoursPlot = datePlot(splitter);
    hoursPlot->setObjectName(QStringLiteral("plot_Hours"));
    rangesPlot = datePlot(splitter);
    rangesPlot->setObjectName(QStringLiteral("plot_TopRanges"));
    splitter->addWidget(hoursPlot);
    splitter->addWidget(rangesPlot);

    table = new QTableWidget(splitter);
    table->setObjectName(QStringLiteral("tableWidget_History"));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    splitter->addWidget(table);

    auto *buttons = new QHBoxLayout;
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("label_Summary"));
    compareButton = new QPushButton(this);
    compareButton->setObjectName(QStringLiteral("pushButton_Compare"));
    exportButton = new QPushButton(this);
    exportButton->setObjectName(QStringLiteral("pushButton_ExportCsv"));
    buttons->addWidget(summary, 1);
    buttons->addWidget(compareButton);
    buttons->addWidget(exportButton);
    layout->addLayout(buttons);

    connect(compareButton, &QPushButton::clicked, this, &ModuleHistoryWindow::compareSelected);
    connect(exportButton, &QPushButton::clicked, this, &ModuleHistoryWindow::exportCsv);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ModuleHistoryWindow::updateCompareButton);
    buildCharts();
    fillTable();
    retranslate();
    updateCompareButton();
    resize(900, 800);
}

QVector<ReportValues> ModuleHistoryWindow::values() const
{
    QVector<ReportValues> all;
    all.reserve(reports.size());
    for (const ModuleReport &report : reports)
        all << report.values;
    return all;
}

void ModuleHistoryWindow::buildCharts()
{
    const QVector<HistoryPoint> points = historyPoints(values());
    QVector<QPointF> total, repair, impacts;
    QVector<QVector<QPointF>> ranges(HistogramParameterCount);
    for (const HistoryPoint &point : points) {
        const double x = QwtDate::toDouble(point.date);
        total << QPointF(x, point.totalHours);
        repair << QPointF(x, point.repairHours);
        impacts << QPointF(x, point.impacts);
        for (int parameter = 0; parameter < HistogramParameterCount; ++parameter)
            ranges[parameter] << QPointF(x, point.topRangeHours[parameter]);
    }
    hoursPlot->enableAxis(QwtPlot::yRight);
    hoursCurves = {curve(hoursPlot, 0, total), curve(hoursPlot, 1, repair), curve(hoursPlot, 2, impacts, QwtPlot::yRight)};
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter)
        rangeCurves << curve(rangesPlot, parameter, ranges.at(parameter));
}

void ModuleHistoryWindow::fillTable()
{
    table->setRowCount(reports.size());
    table->setColumnCount(7);
    for (int row = 0; row < reports.size(); ++row) {
        const ReportValues &report = reports.at(row).values;
        const QStringList cells{report.date,
                                report.release_date,
                                report.firmware_version,
                                report.total_time,
                                report.repair_time,
                                QString::number(report.impacts),
                                QString::number(report.irt_impacts)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    table->scrollToBottom();
}

void ModuleHistoryWindow::retranslate()
{
    setWindowTitle(tr("История модуля %1").arg(sn));
    hoursPlot->setAxisTitle(QwtPlot::yLeft, tr("Наработка, ч"));
    hoursPlot->setAxisTitle(QwtPlot::yRight, tr("Удары"));
    rangesPlot->setAxisTitle(QwtPlot::yLeft, tr("Часы в верхнем диапазоне"));
    hoursCurves.at(0)->setTitle(tr("Полная наработка"));
    hoursCurves.at(1)->setTitle(tr("Межремонтная наработка"));
    hoursCurves.at(2)->setTitle(tr("Количество ударов"));
    // The captions follow the language the documents are made in, as the
    // report's own histograms do.
    const QVector<HistogramParameter> &parameters = histogramParameters();
    for (int parameter = 0; parameter < HistogramParameterCount; ++parameter) {
        const HistogramParameter &row = parameters.at(parameter);
        const HistogramBin &top = row.bins.last();
        rangeCurves.at(parameter)->setTitle(
            QStringLiteral("%1 %2... %3").arg(row.caption(language)).arg(top.lower).arg(row.unit(language)));
    }
    table->setHorizontalHeaderLabels({tr("Дата"), tr("Дата выпуска"), tr("Версия ПО"), tr("Наработка"),
                                      tr("Межремонтная"), tr("Удары"), tr("Межремонтные удары")});
    table->resizeColumnsToContents();
    summary->setText(tr("Отчётов: %1. Выберите два отчёта, чтобы сравнить их.").arg(reports.size()));
    compareButton->setText(tr("Сравнить"));
    exportButton->setText(tr("Экспорт в CSV..."));
    hoursPlot->replot();
    rangesPlot->replot();
}

void ModuleHistoryWindow::setLanguage(quint32 code)
{
    language = code;
    retranslate();
}

void ModuleHistoryWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ModuleHistoryWindow::updateCompareButton()
{
    compareButton->setEnabled(table->selectionModel()->selectedRows().size() == 2);
}

void ModuleHistoryWindow::compareSelected()
{
    QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.size() != 2)
        return;
    // The table lists the reports oldest first.
    std::sort(rows.begin(), rows.end());
    const ReportValues &previous = reports.at(rows.at(0).row()).values;
    const ReportValues &current = reports.at(rows.at(1).row()).values;
    const ReportComparison comparison = compareReports(previous, current);
    QDir().mkpath(QStringLiteral("Reports"));
    const QString path = QDir::current().absoluteFilePath(
        QStringLiteral("Reports/") + comparisonFileName(sn, previous.date + QStringLiteral(" - ") + current.date));
    QString error;
    if (!writeComparisonFile(path, comparison, ComparisonSource::Ssu, language, &error)) {
        PlainMessageBox::warning(this, tr("Внимание"), tr("Не могу сохранить файл сравнения\n%1\n%2").arg(error, path));
        return;
    }
    emit comparisonWritten(path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ModuleHistoryWindow::exportCsv()
{
    const QString path = QFileDialog::getSaveFileName(this, tr("Экспорт истории модуля"),
                                                      QStringLiteral("RVKHistory_sn%1.csv").arg(sn),
                                                      tr("Файлы CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !writeModuleHistoryCsv(values(), &file) || !file.commit())
        PlainMessageBox::warning(this, tr("Внимание"), tr("Не могу сохранить файл\n%1\n%2").arg(file.errorString(), path));
}
