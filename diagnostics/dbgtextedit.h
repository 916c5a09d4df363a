#pragma once

#include <QTextEdit>

// The debug monitor window. Its only addition is telling the main window that
// the user closed it, so the monitor can be switched off, and keeping its
// text bounded.
class DbgTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    // The monitor may run for a whole shift; only the newest lines are kept
    // so that memory and layout time stay flat. The oldest lines go a batch
    // at a time, leaving between maximumLines - trimBatch and maximumLines.
    static constexpr int maximumLines = 5000;
    static constexpr int trimBatch = 1000;

    explicit DbgTextEdit(QWidget *parent = nullptr);

signals:
    void DbgClosed();
    void DbgClick();

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void trimOldestLines(int lineCount);
};
