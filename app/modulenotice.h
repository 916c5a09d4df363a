#pragma once

#include <QLabel>

class QProgressBar;
class Station;

// A module that does not answer, said under the form rather than in a box:
// the user may be busy elsewhere, and the notice stays readable until the
// next request takes it away.
class ModuleNotice : public QLabel
{
    Q_OBJECT
public:
    // progress: how much of the report had come when the module fell silent.
    ModuleNotice(Station *station, const QProgressBar *progress, QWidget *parent = nullptr);
    // A new request or command: what was said of the last one no longer holds.
    void withdraw();

private:
    void showSilence(int framesReceived);
    void showNotice(const QString &text);

    const QProgressBar *progress;
};
