#include "dbgtextedit.h"

#include <QCloseEvent>
#include <QTextDocument>

DbgTextEdit::DbgTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    // Also switches the undo history off, which would otherwise keep every
    // inserted chunk for the lifetime of the window.
    document()->setMaximumBlockCount(maximumLines);
}

void DbgTextEdit::closeEvent(QCloseEvent *event)
{
    emit DbgClosed();
    event->accept();
}
