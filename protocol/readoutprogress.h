#pragma once

// Progress bar value after the given number of report data frames: the
// integer part of frames x 100/37. Returns -1 once the module sends more
// frames than a report has, so the bar is left where it is.
inline int readoutProgressValue(int frameCount)
{
    const int value = int(frameCount * 2.7027027027027026);
    return value >= 0 && value <= 100 ? value : -1;
}
