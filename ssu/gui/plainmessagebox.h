#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// A box whose text is shown exactly as it stands. QMessageBox guesses rich
// text from a text's first line, so an error carrying a server's, a file
// system's or a path's text could otherwise show markup as headings, colours
// or links the program never wrote.
namespace PlainMessageBox {

QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text);
QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text);

} // namespace PlainMessageBox
