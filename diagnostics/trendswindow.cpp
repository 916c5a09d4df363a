#include "diagnostics/trendswindow.h"

#include "diagnostics/monitorparser.h"
#include "diagnostics/screenfit.h"
#include "diagnostics/trendcurvedata.h"
#include "diagnostics/trendlog.h"
#include "diagnostics/trendseries.h"
#include "protocol/language.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <qwt_date_scale_draw.h>
#include <qwt_date_scale_engine.h>
#include <qwt_legend.h>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>

using MonitorParser::Sensor;

namespace {

constexpr qint64 msPerMinute = 60 * 1000;

// Redraws at most this often while following the monitor: the module sends
// ten blocks a second or more, and redrawing five charts for each would cost
// more than the eye gains.
constexpr int redrawIntervalMs = 200;

struct Line
{
    Sensor sensor;
    QColor colour;
    bool rightAxis;
};

// One chart per group of quantities that are read together; a second axis
// where the units differ by orders of magnitude.
const QVector<QVector<Line>> &chartLines()
{
    static const QVector<QVector<Line>> lines = {
        {{Sensor::RPM, QColor(0, 90, 180), false}, {Sensor::Freq, QColor(200, 80, 0), true}},
        {{Sensor::Vin, QColor(0, 130, 60), false}, {Sensor::Vout, QColor(170, 0, 120), false}},
        {{Sensor::Aout, QColor(150, 100, 0), false}},
        {{Sensor::Temp, QColor(200, 30, 30), false}},
        {{Sensor::Xaccel, QColor(0, 90, 180), false},
         {Sensor::Yaccel, QColor(200, 80, 0), false},
         {Sensor::MaximalX, QColor(0, 150, 200), false},
         {Sensor::AverageX, QColor(90, 90, 90), false},
         {Sensor::MaximalY, QColor(220, 160, 0), false},
         {Sensor::AverageY, QColor(0, 130, 60), false},
         {Sensor::DataMaximal, QColor(170, 0, 120), false}},
    };
    return lines;
}

} // namespace

const QVector<int> &TrendsWindow::spanMinutesChoices()
{
    static const QVector<int> choices = {1, 5, 30};
    return choices;
}

TrendsWindow::TrendsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_live(std::make_unique<TrendSeries>(spanMinutesChoices().last() * 60 * liveBlocksPerSecond,
                                           spanMinutesChoices().last() * msPerMinute))
{
    m_spanLabel = new QLabel(this);
    m_spanBox = new QComboBox(this);
    for (int minutes : spanMinutesChoices())
        m_spanBox->addItem(QString(), minutes);
    m_spanBox->setCurrentIndex(0);
    m_pauseButton = new QPushButton(this);
    m_pauseButton->setCheckable(true);
    m_liveButton = new QPushButton(this);
    m_liveButton->hide();
    m_openButton = new QPushButton(this);
    m_saveButton = new QPushButton(this);
    m_status = new QLabel(this);
    // Buttons must not take Return away from the pause key.
    for (QWidget *control : {static_cast<QWidget *>(m_spanBox), static_cast<QWidget *>(m_pauseButton),
                             static_cast<QWidget *>(m_liveButton), static_cast<QWidget *>(m_openButton),
                             static_cast<QWidget *>(m_saveButton)})
        control->setFocusPolicy(Qt::NoFocus);

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_spanLabel);
    controls->addWidget(m_spanBox);
    controls->addWidget(m_pauseButton);
    controls->addWidget(m_liveButton);
    controls->addWidget(m_openButton);
    controls->addWidget(m_saveButton);
    controls->addStretch();
    // In a row of its own: beside the buttons its longer texts would widen
    // the window past a laptop's screen.
    m_status->setWordWrap(true);

    m_chartArea = new QWidget(this);
    m_chartArea->setAutoFillBackground(true);
    buildCharts();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_status);
    layout->addWidget(m_chartArea, 1);

    connect(m_spanBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this] { refresh(); });
    connect(m_pauseButton, &QPushButton::toggled, this, &TrendsWindow::setPaused);
    connect(m_liveButton, &QPushButton::clicked, this, &TrendsWindow::showLive);
    connect(m_openButton, &QPushButton::clicked, this, &TrendsWindow::chooseLog);
    connect(m_saveButton, &QPushButton::clicked, this, &TrendsWindow::chooseSavePath);

    auto *openShortcut = new QShortcut(QKeySequence::Open, this);
    connect(openShortcut, &QShortcut::activated, this, &TrendsWindow::chooseLog);
    auto *saveShortcut = new QShortcut(QKeySequence::Save, this);
    connect(saveShortcut, &QShortcut::activated, this, &TrendsWindow::chooseSavePath);

    m_redrawTimer = new QTimer(this);
    m_redrawTimer->setInterval(redrawIntervalMs);
    connect(m_redrawTimer, &QTimer::timeout, this, &TrendsWindow::redrawIfChanged);

    resize(960, 820);
    ScreenFit::fitToScreen(this);
    retranslate();
    refresh();
}

TrendsWindow::~TrendsWindow() = default;

void TrendsWindow::buildCharts()
{
    auto *layout = new QVBoxLayout(m_chartArea);
    layout->setContentsMargins(0, 0, 0, 0);
    m_curveData.resize(MonitorParser::sensorCount);
    for (const QVector<Line> &lines : chartLines()) {
        auto *plot = new QwtPlot(m_chartArea);
        plot->setAutoReplot(false);
        plot->setCanvasBackground(Qt::white);
        // Every redraw changes the whole canvas, so a backing store would
        // only add a copy.
        if (auto *canvas = qobject_cast<QwtPlotCanvas *>(plot->canvas()))
            canvas->setPaintAttribute(QwtPlotCanvas::BackingStore, false);
        // A fixed offset from UTC rather than the local time zone: dividing
        // and labelling a local-time axis converts through the C library's
        // time zone code dozens of times per redraw, which costs more than
        // drawing the curves. refresh() keeps the offset current.
        plot->setAxisScaleEngine(QwtPlot::xBottom, new QwtDateScaleEngine(Qt::OffsetFromUTC));
        auto *timeScale = new QwtDateScaleDraw(Qt::OffsetFromUTC);
        timeScale->setDateFormat(QwtDate::Second, QStringLiteral("hh:mm:ss"));
        timeScale->setDateFormat(QwtDate::Minute, QStringLiteral("hh:mm"));
        timeScale->setDateFormat(QwtDate::Hour, QStringLiteral("hh:mm"));
        timeScale->setDateFormat(QwtDate::Day, QStringLiteral("dd.MM hh:mm"));
        plot->setAxisScaleDraw(QwtPlot::xBottom, timeScale);
        QFont axisFont = plot->axisFont(QwtPlot::yLeft);
        axisFont.setPointSize(8);
        for (int axis : {QwtPlot::xBottom, QwtPlot::yLeft, QwtPlot::yRight})
            plot->setAxisFont(axis, axisFont);

        auto *grid = new QwtPlotGrid;
        grid->setMajorPen(QColor(225, 225, 225), 0.0, Qt::SolidLine);
        grid->attach(plot);
        auto *legend = new QwtLegend;
        plot->insertLegend(legend, QwtPlot::RightLegend);

        for (const Line &line : lines) {
            auto *curve = new QwtPlotCurve(QString(MonitorParser::sensorName(line.sensor)));
            curve->setPen(line.colour, 1.0);
            // Many points per pixel column over a long span: drawing each
            // one would cost without showing more.
            curve->setPaintAttribute(QwtPlotCurve::FilterPoints, true);
            curve->setRenderHint(QwtPlotItem::RenderAntialiased, false);
            auto *data = new TrendCurveData(m_live.get(), line.sensor);
            curve->setData(data);
            m_curveData[int(line.sensor)] = data;
            if (line.rightAxis) {
                plot->enableAxis(QwtPlot::yRight);
                curve->setYAxis(QwtPlot::yRight);
            }
            curve->attach(plot);
        }
        // Qwt's own minimum stacks five charts taller than a 1024-pixel
        // screen; this one lets the window fit the screen it is on.
        plot->setMinimumSize(320, 110);
        layout->addWidget(plot, lines.size() > 2 ? 3 : 2);
        m_plots.append(plot);
    }
}

void TrendsWindow::addMonitorBlock(const QString &text, const QDateTime &time)
{
    const QVector<MonitorParser::Reading> readings = MonitorParser::parse(text);
    if (readings.isEmpty())
        return;
    m_live->add(time.toMSecsSinceEpoch(), readings);
    m_changed = true;
}

const TrendSeries &TrendsWindow::shownSeries() const
{
    return m_log ? *m_log : *m_live;
}

QPair<double, double> TrendsWindow::shownSpan() const
{
    return m_span;
}

int TrendsWindow::spanMinutes() const
{
    return m_spanBox->currentData().toInt();
}

void TrendsWindow::setSpanMinutes(int minutes)
{
    const int index = m_spanBox->findData(minutes);
    if (index >= 0)
        m_spanBox->setCurrentIndex(index);
}

void TrendsWindow::setPaused(bool paused)
{
    if (m_pauseButton->isChecked() != paused) {
        m_pauseButton->setChecked(paused); // comes back here through toggled()
        return;
    }
    m_paused = paused;
    if (!paused)
        refresh();
    updateStatus();
}

void TrendsWindow::showLive()
{
    m_log.reset();
    m_logPath.clear();
    refresh();
}

void TrendsWindow::refresh()
{
    const TrendSeries &series = shownSeries();
    double from, to;
    if (m_log) {
        from = double(series.oldestTime());
        to = double(series.newestTime());
        if (to - from < 1000.0)
            to = from + 1000.0;
    } else {
        // While paused the span stays where it was, except for a change of
        // its width, which keeps the right edge.
        const double right = m_paused && m_span.second > 0.0
            ? m_span.second
            : double(series.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : series.newestTime());
        to = right;
        from = right - double(spanMinutes()) * msPerMinute;
    }
    m_span = qMakePair(from, to);
    const int utcOffset = QDateTime::fromMSecsSinceEpoch(qint64(to)).offsetFromUtc();
    if (utcOffset != m_utcOffset) {
        m_utcOffset = utcOffset;
        for (QwtPlot *plot : qAsConst(m_plots)) {
            static_cast<QwtDateScaleEngine *>(plot->axisScaleEngine(QwtPlot::xBottom))->setUtcOffset(utcOffset);
            static_cast<QwtDateScaleDraw *>(plot->axisScaleDraw(QwtPlot::xBottom))->setUtcOffset(utcOffset);
        }
    }
    for (int chart = 0; chart < m_plots.size(); ++chart) {
        QwtPlot *plot = m_plots.at(chart);
        for (const Line &line : chartLines().at(chart)) {
            TrendCurveData *data = m_curveData.at(int(line.sensor));
            data->setSeries(&series);
            data->setSpan(from, to, plot->canvas()->width());
        }
        plot->setAxisScale(QwtPlot::xBottom, from, to);
        plot->replot();
    }
    m_changed = false;
    updateStatus();
}

void TrendsWindow::redrawIfChanged()
{
    if (!m_changed || m_paused || m_log)
        return;
    // Points newer than the drawn right edge by less than one pixel column
    // would land in the edge's column; with a 30-minute span a column holds
    // seconds of stream, and redrawing five charts for each block of it
    // costs far more than it shows. The charts catch up within a column.
    const double width = qMax(1, m_plots.isEmpty() ? 1 : m_plots.first()->canvas()->width());
    const double msPerColumn = (m_span.second - m_span.first) / width;
    // Either way: a clock set back moves the newest point left of the edge.
    if (qAbs(double(m_live->newestTime()) - m_span.second) < msPerColumn)
        return;
    refresh();
}

void TrendsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_redrawTimer->start();
    refresh();
}

// Return and Enter pause and resume, as they stop and resume the scrolling
// of the monitor window.
void TrendsWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!m_log)
            m_pauseButton->toggle();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TrendsWindow::openLog(const QString &path)
{
    const TrendLog::Result result = TrendLog::read(path);
    if (result.problem != TrendLog::Problem::None) {
        QMessageBox::warning(this, tr("Ошибка"),
                             tr("Не могу открыть лог монитора %1.").arg(QDir::toNativeSeparators(path))
                                 + QStringLiteral("\n")
                                 + problemText(int(result.problem), result.line, result.systemError),
                             QMessageBox::Ok);
        return false;
    }
    auto series = std::make_unique<TrendSeries>(result.entries.size());
    for (const TrendLog::Entry &entry : result.entries)
        series->add(entry.timeMs, entry.readings);
    m_log = std::move(series);
    m_logPath = path;
    m_logBlocks = result.entries.size();
    refresh();
    return true;
}

QString TrendsWindow::problemText(int problem, int line, const QString &systemError) const
{
    switch (TrendLog::Problem(problem)) {
    case TrendLog::Problem::None: break;
    case TrendLog::Problem::Unreadable: return tr("Файл не читается: %1").arg(systemError);
    case TrendLog::Problem::Empty: return tr("В файле нет ни одного блока монитора.");
    case TrendLog::Problem::NoTimeStamp:
        return tr("Строка %1: ожидалась метка времени [гггг-ММ-дд чч:мм:сс.ззз], это не лог монитора.").arg(line);
    case TrendLog::Problem::BadTimeStamp: return tr("Строка %1: неверная метка времени.").arg(line);
    case TrendLog::Problem::UnfinishedBlock:
        return tr("Строка %1: блок без строки dataAverage=, файл обрезан или повреждён.").arg(line);
    case TrendLog::Problem::NotText: return tr("Строка %1: двоичные данные, файл повреждён.").arg(line);
    }
    return QString();
}

bool TrendsWindow::savePng(const QString &path)
{
    const QImage image = m_chartArea->grab().toImage();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit())
        return true;
    file.cancelWriting();
    QMessageBox::warning(this, tr("Внимание"),
                         tr("Не могу сохранить график в файл %1").arg(QDir::toNativeSeparators(path))
                             + QStringLiteral("\n") + file.errorString(),
                         QMessageBox::Ok);
    return false;
}

void TrendsWindow::chooseLog()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Открыть лог монитора"),
                                                      QDir::current().filePath(QStringLiteral("log")),
                                                      tr("Логи монитора (*.log);;Все файлы (*)"));
    if (!path.isEmpty())
        openLog(path);
}

void TrendsWindow::chooseSavePath()
{
    const QString name = m_log ? QFileInfo(m_logPath).completeBaseName() + QStringLiteral(".png")
                               : QStringLiteral("trends_%1.png")
                                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy_hh.mm.ss")));
    const QString path = QFileDialog::getSaveFileName(this, tr("Сохранить график"), QDir::current().filePath(name),
                                                      tr("Изображения PNG (*.png)"));
    if (!path.isEmpty())
        savePng(path);
}

void TrendsWindow::updateStatus()
{
    m_liveButton->setVisible(m_log != nullptr);
    m_spanBox->setEnabled(!m_log);
    m_pauseButton->setEnabled(!m_log);
    if (m_log)
        m_status->setText(tr("Лог %1, блоков: %2")
                              .arg(QFileInfo(m_logPath).fileName())
                              .arg(m_logBlocks));
    else if (m_paused)
        m_status->setText(tr("Пауза: Enter продолжает"));
    else if (!m_monitorOn)
        m_status->setText(tr("Монитор выключен: включите его клавишей +"));
    else
        m_status->setText(tr("Слежение за монитором"));
}

void TrendsWindow::setMonitorOn(bool on)
{
    m_monitorOn = on;
    updateStatus();
}

void TrendsWindow::retranslate()
{
    setWindowTitle(tr("Тренды датчиков"));
    m_spanLabel->setText(tr("Окно:"));
    for (int i = 0; i < m_spanBox->count(); ++i)
        m_spanBox->setItemText(i, tr("%1 мин").arg(m_spanBox->itemData(i).toInt()));
    m_pauseButton->setText(tr("Пауза (Enter)"));
    m_liveButton->setText(tr("К монитору"));
    m_openButton->setText(tr("Открыть лог…"));
    m_saveButton->setText(tr("Сохранить PNG…"));
    const QStringList titles = {tr("Обороты и частота"), tr("Входное и выходное напряжение"), tr("Ток потребления"),
                                tr("Температура"), tr("Вибрация (акселерометр)")};
    for (int i = 0; i < m_plots.size(); ++i) {
        QwtText title(titles.value(i));
        QFont font = title.font();
        font.setPointSize(9);
        font.setBold(true);
        title.setFont(font);
        m_plots[i]->setTitle(title);
    }
    updateStatus();
}

void TrendsWindow::slotSetLanguage(uchar lang)
{
    if (lang > 1)
        return;
    // The application's one translator; a window used on its own switches it.
    Language::install(lang == 1 ? Language::english() : Language::russian());
    retranslate();
}

void TrendsWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
