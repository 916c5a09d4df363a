#include "app/comparisonline.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ComparisonLine::ComparisonLine(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("widget_Comparison"));
    text = new QLabel(this);
    text->setObjectName(QStringLiteral("label_Comparison"));
    text->setWordWrap(true);
    // Only the program's own texts go in, each escaped; the red needs markup.
    text->setTextFormat(Qt::RichText);
    open = new QPushButton(this);
    open->setObjectName(QStringLiteral("pushButton_Comparison"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text, 1);
    layout->addWidget(open, 0, Qt::AlignTop);
    connect(open, &QPushButton::clicked, this, [this] { emit openRequested(page); });
    retranslate();
    hide();
}

void ComparisonLine::showSummary(const ComparisonSummary &summary, const QString &path)
{
    QString html = summary.line.toHtmlEscaped();
    for (const QString &notice : summary.notices)
        html += QStringLiteral("<br><span style=\"color:#C00000;font-weight:bold\">%1</span>")
                    .arg(notice.toHtmlEscaped());
    text->setText(html);
    page = path;
    open->setVisible(!path.isEmpty());
    show();
}

void ComparisonLine::clear()
{
    text->clear();
    page.clear();
    hide();
}

void ComparisonLine::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// The line itself stays in the language the comparison was made in, as its
// page does; only the button follows the window.
void ComparisonLine::retranslate()
{
    open->setText(tr("Сравнение"));
    open->setToolTip(tr("Открыть сравнение с прошлым отчётом модуля"));
}
