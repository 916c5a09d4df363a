#pragma once

#include <QTextEdit>

// The debug monitor window. Its only addition is telling the main window that
// the user closed it, so the monitor can be switched off.
class DbgTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

signals:
    void DbgClosed();
    void DbgClick();

protected:
    void closeEvent(QCloseEvent *event) override;
};
