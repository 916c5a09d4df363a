#include "tests/support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

namespace {
QString plainText(QString text)
{
    return text.remove(QLatin1Char('&'));
}

QList<QAbstractButton *> buttonsOf(QWidget *widget)
{
    if (auto *box = qobject_cast<QMessageBox *>(widget))
        return box->buttons();
    QList<QAbstractButton *> buttons;
    for (QDialogButtonBox *buttonBox : widget->findChildren<QDialogButtonBox *>())
        buttons += buttonBox->buttons();
    return buttons;
}
} // namespace

ModalAnswerer::ModalAnswerer(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(5);
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::pressButton(const QString &buttonText)
{
    m_answers.enqueue([buttonText](QWidget *widget) {
        for (QAbstractButton *button : buttonsOf(widget)) {
            if (plainText(button->text()) == buttonText) {
                button->click();
                return;
            }
        }
        qWarning("ModalAnswerer: no button \"%s\"; dismissing", qPrintable(buttonText));
        dismiss(widget);
    });
}

void ModalAnswerer::press(QMessageBox::StandardButton standardButton)
{
    m_answers.enqueue([standardButton](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->button(standardButton)) {
            box->button(standardButton)->click();
            return;
        }
        qWarning("ModalAnswerer: no such standard button; dismissing");
        dismiss(widget);
    });
}

void ModalAnswerer::enterText(const QString &text, bool accept)
{
    m_answers.enqueue([text, accept](QWidget *widget) {
        if (auto *input = qobject_cast<QInputDialog *>(widget)) {
            input->setTextValue(text);
            if (accept)
                input->accept();
            else
                input->reject();
            return;
        }
        qWarning("ModalAnswerer: expected an input dialog; dismissing");
        dismiss(widget);
    });
}

void ModalAnswerer::answerWith(std::function<void(QWidget *)> answer)
{
    m_answers.enqueue(std::move(answer));
}

bool ModalAnswerer::waitForBoxes(int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (seen.size() < count && clock.elapsed() < timeoutMs)
        QTest::qWait(5);
    return seen.size() >= count;
}

ModalAnswerer::Seen ModalAnswerer::describe(QWidget *widget)
{
    Seen entry;
    entry.className = QString::fromLatin1(widget->metaObject()->className());
    entry.title = widget->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        entry.text = box->text();
        entry.informativeText = box->informativeText();
    } else if (auto *input = qobject_cast<QInputDialog *>(widget)) {
        entry.text = input->labelText();
    }
    for (QAbstractButton *button : buttonsOf(widget))
        entry.buttons << plainText(button->text());
    return entry;
}

void ModalAnswerer::dismiss(QWidget *widget)
{
    if (auto *box = qobject_cast<QMessageBox *>(widget)) {
        QAbstractButton *button = box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().first();
        if (button) {
            button->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(widget)) {
        dialog->reject();
        return;
    }
    widget->close();
}

void ModalAnswerer::poll()
{
    QWidget *widget = QApplication::activeModalWidget();
    if (!widget || !widget->isVisible())
        return;
    // A notice without buttons (a wait box) is not for the user to answer.
    if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->buttons().isEmpty())
        return;
    // A box stays the active modal widget until its loop returns; answer it
    // once. Static boxes live on the stack, so a later box may reuse the
    // address: forget the handled one when it goes.
    if (widget == m_lastHandled)
        return;
    m_lastHandled = widget;
    connect(widget, &QObject::destroyed, this, [this, widget] {
        if (m_lastHandled == widget)
            m_lastHandled = nullptr;
    });
    Seen entry = describe(widget);
    entry.expected = !m_answers.isEmpty();
    seen.append(entry);
    if (!m_answers.isEmpty())
        m_answers.dequeue()(widget);
    else
        dismiss(widget);
}
