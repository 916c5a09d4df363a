#include "diagnostics/dbgtextedit.h"

#include <QCloseEvent>
#include <QTextCursor>
#include <QTextDocument>

DbgTextEdit::DbgTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
    // The undo history would otherwise keep every inserted chunk for the
    // lifetime of the window.
    document()->setUndoRedoEnabled(false);
    // Not QTextDocument::setMaximumBlockCount: it drops one line for every
    // new one, and each removal at the top makes the layout walk the whole
    // document again, which costs about a millisecond per frame at this size.
    connect(document(), SIGNAL(blockCountChanged(int)), this, SLOT(trimOldestLines(int)));
}

void DbgTextEdit::closeEvent(QCloseEvent *event)
{
    emit DbgClosed();
    event->accept();
}

void DbgTextEdit::trimOldestLines(int lineCount)
{
    if (lineCount <= maximumLines)
        return;
    // The signal comes after the edit has finished, so the document may be
    // changed here; the removal re-enters with a count below the limit.
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, lineCount - (maximumLines - trimBatch));
    cursor.removeSelectedText();
}
