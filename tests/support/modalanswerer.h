#pragma once

#include <QMessageBox>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Answers modal message boxes and input dialogs from outside, the way a user
// would: it polls QApplication::activeModalWidget(), records what the box
// shows and presses the chosen button, so the code under test runs its real
// nested event loop. Answers are used in the order they were queued; a box
// that finds the queue empty is recorded and then dismissed with its default
// (or first) button, so a test never hangs on an unexpected box.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    struct Seen
    {
        QString className;
        QString title;
        QString text;
        QString informativeText;
        QStringList buttons;
        bool expected = false;
    };

    explicit ModalAnswerer(QObject *parent = nullptr);
    ~ModalAnswerer() override;

    // Press the button whose text (ampersands removed) equals buttonText.
    void pressButton(const QString &buttonText);
    // Press a standard button of a QMessageBox.
    void press(QMessageBox::StandardButton button);
    // Fill a QInputDialog and press OK (accept) or Cancel.
    void enterText(const QString &text, bool accept = true);
    // Any other handling.
    void answerWith(std::function<void(QWidget *)> answer);

    // Waits until at least count boxes have been seen.
    bool waitForBoxes(int count, int timeoutMs = 5000);

    QList<Seen> seen;
    int pending() const { return m_answers.size(); }

private slots:
    void poll();

private:
    static Seen describe(QWidget *widget);
    static void dismiss(QWidget *widget);

    QTimer m_timer;
    QQueue<std::function<void(QWidget *)>> m_answers;
    QWidget *m_lastHandled = nullptr;
};
