#include "ssu/gui/plainmessagebox.h"

namespace PlainMessageBox {

namespace {
QMessageBox::StandardButton show(QMessageBox::Icon icon, QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
} // namespace

QMessageBox::StandardButton warning(QWidget *parent, const QString &title, const QString &text)
{
    return show(QMessageBox::Warning, parent, title, text);
}

QMessageBox::StandardButton information(QWidget *parent, const QString &title, const QString &text)
{
    return show(QMessageBox::Information, parent, title, text);
}

} // namespace PlainMessageBox
