#pragma once

#include <QColor>

#include <initializer_list>

class QWidget;

// Fonts and colours of a form's controls, by objectName. Designer's font property has no
// quarter points, and a style sheet makes every widget below it slower to polish; a table
// applied once at creation has neither problem.
struct Look
{
    const char *objectName;
    const char *family = nullptr; // nullptr keeps the inherited font
    qreal points = 0;
    bool bold = false;
    bool underline = false;
    QColor text;       // invalid keeps the inherited colour
    QColor background; // invalid leaves the control transparent
};

void applyLooks(QWidget *form, std::initializer_list<Look> looks);

// Every window of the program opens in the middle of its screen, frame and title bar included.
// Call it before or while the window is shown: until the window manager has framed the window its
// frame is guessed from the last window seen, and the window is put right as soon as it appears.
void centreOnScreen(QWidget &window);
