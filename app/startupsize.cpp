#include "app/startupsize.h"

#include "diagnostics/screenfit.h"

#include <QWidget>

void applyStartUpSize(QWidget *window)
{
    window->resize(window->width(), window->minimumHeight());
    ScreenFit::fitToScreen(window);
}
