#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>

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

// Whether the program may place its own windows and keep one above the others. Wayland lets only the
// compositor do that, and Qt's plugin would warn about each attempt.
bool programPlacesWindows();

// Where a frame of the given size goes on a screen's available area: centred along each side where it
// fits, otherwise at the area's left or top edge, so that the title bar and close box stay within reach.
QPoint framePosition(const QSize &frame, const QRect &available);

// Every window of the program opens in the middle of its screen, frame and title bar included, or
// as near it as the screen allows (framePosition); the compositor decides where programPlacesWindows
// is false. Call it before or while the window is shown: until the window manager has framed the window
// its frame is guessed from the last window seen, and the window is put right as soon as it appears.
void centreOnScreen(QWidget &window);
