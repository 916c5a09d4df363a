#pragma once

// Progress bar value after the given number of report data frames: the
// integer part of frames x 100/37. Returns -1 once the module sends more
// frames than a report has, so the bar is left where it is.
inline int readoutProgressValue(int frameCount)
{
    // In integers: the product with the rounded factor 100/37 lands just
    // below 100 for the last frame where doubles are held in 80-bit x87
    // registers (a 32-bit Windows build), and the bar stopped at 99 %.
    const int value = frameCount >= 0 && frameCount <= 1000000 ? frameCount * 100 / 37 : -1;
    return value >= 0 && value <= 100 ? value : -1;
}
