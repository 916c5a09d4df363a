#pragma once

#include "report/comparisondocument.h"

#include <QWidget>

class QLabel;
class QPushButton;

// Under the key values after a whole read-out: what changed since the
// module's previous report in one line, its notices in red, and a button for
// the comparison's page. Only the report itself opens on its own; the
// comparison opens when asked for.
class ComparisonLine : public QWidget
{
    Q_OBJECT
public:
    explicit ComparisonLine(QWidget *parent = nullptr);

    // path empty: the page could not be written, so there is nothing to open.
    void showSummary(const ComparisonSummary &summary, const QString &path);
    void clear();

signals:
    void openRequested(const QString &path);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QLabel *text = nullptr;
    QPushButton *open = nullptr;
    QString page;
};
