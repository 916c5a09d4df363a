#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class QWidget;

// A scene that cannot be set up ends the run with this, naming what did not
// happen.
class SceneFailure : public std::runtime_error
{
public:
    explicit SceneFailure(const QString &what)
        : std::runtime_error(what.toStdString())
    {
    }
};

// Runs the event loop until the condition holds; throws after timeoutMs.
void waitUntil(const std::function<bool()> &condition, const QString &what, int timeoutMs = 15000);
// Runs the event loop for a while, so windows paint and data arrives.
void settle(int milliseconds);
// Pauses only for the pictures: quick runs, whose pictures nobody looks at,
// skip settle()'s pauses. A wait that a check depends on is observe()'s.
void setQuick(bool quick);
// Runs the event loop for a while, whatever the run: a check follows that
// needs the time to have passed.
void observe(int milliseconds);

// The program asks with modal boxes whose exec() holds the stack until they
// close. The box is met from the event loop running inside it: trigger (run
// from the event loop too, may be empty when the box comes by itself) opens
// it, handle gets it once it is shown and must close it. Returns when handle
// has run.
void meetModal(const std::function<void()> &trigger, const std::function<void(QWidget *)> &handle,
               const QString &what, int timeoutMs = 20000);

// The visible top-level widget of the given class.
QWidget *visibleWindow(const char *className);
