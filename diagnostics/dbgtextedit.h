#pragma once

#include <QTextEdit>

// The debug monitor window. Its only addition is telling the main window that
// the user closed it, so the monitor can be switched off.
class DbgTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    // The monitor may run for a whole shift; only the newest lines are kept
    // so that memory and layout time stay flat.
    static constexpr int maximumLines = 5000;

    explicit DbgTextEdit(QWidget *parent = nullptr);

signals:
    void DbgClosed();
    void DbgClick();

protected:
    void closeEvent(QCloseEvent *event) override;
};
