#include "dbgtextedit.h"

#include <QCloseEvent>

void DbgTextEdit::closeEvent(QCloseEvent *event)
{
    emit DbgClosed();
    event->accept();
}
