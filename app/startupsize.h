#pragma once

class QWidget;

// Gives the main window the size it starts with: the width it was built
// (or restored) with and its minimum height, so a height stored in the ini
// file never counts; then fits it to the screen. main() calls it between
// building the window and showing it.
void applyStartUpSize(QWidget *window);
