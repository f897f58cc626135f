#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <functional>
#include <initializer_list>

class QWidget;

// The windows were drawn for Verdana and MS Sans Serif. Each is asked for by the name of an installed
// family: a name Qt cannot find goes to fontconfig's own favourite, which may be much wider, or even
// monospaced, and differs from desktop to desktop.
// The designed family where installed, else the first installed of a fixed list, else the first installed
// family that is proportional, a sans-serif one before the others; empty if none is.
QString pickFamily(const QString &designed, const QStringList &installed,
                   const std::function<bool(const QString &)> &proportional);
// The family the program asks for in place of a designed one. The installed families are looked up
// once, on first use: the first window's look table, when Qt's font database is loaded anyway.
QString installedFamily(const QString &designed);
// A designed font as the program draws it: an installed family, and proportional whatever is installed.
QFont designFont(const QString &designed, qreal points, bool bold = false, bool underline = false);

// The colours under any text whose background a window fixes, so that a dark desktop palette does not
// put its light text there.
namespace Classic {
inline const QColor text{0, 0, 0};
// Light enough that a light desktop's buttons look the same, so it only shows on dark desktops.
inline const QColor buttonFace{0xf0, 0xf0, 0xf0};
inline const QColor fieldBase{255, 255, 255};
} // namespace Classic

// Fonts and colours of a form's controls, by objectName. The colours are those of the text and of
// what is behind it: a button's face, a text field's base, a panel's or label's own background.
// Designer's font property has no quarter points, and a style sheet makes every widget below it
// slower to polish; a table applied once at creation has neither problem.
struct Look
{
    const char *objectName;
    const char *family = nullptr; // nullptr keeps the inherited font
    qreal points = 0;
    bool bold = false;
    bool underline = false;
    QColor text;       // invalid keeps the inherited colour
    QColor background; // invalid leaves a panel or label transparent, a button or field as it is
};

void applyLooks(QWidget *form, std::initializer_list<Look> looks);

// Whether the program may place its own windows and keep one above the others. Wayland lets only the
// compositor do that, and Qt's plugin would warn about each attempt.
bool programPlacesWindows();
bool programPlacesWindows(const QString &platformName);

// Where a frame of the given size goes on a screen's available area: centred along each side where it
// fits, otherwise at the area's left or top edge, so that the title bar and close box stay within reach.
QPoint framePosition(const QSize &frame, const QRect &available);

// The boxes were drawn for Verdana's metrics. Where the installed family needs more room, a label's or
// push button's text that would be cut steps down half a point at a time, to no less than three quarters
// of its size, until it is whole. Call it whenever they get new texts; each starts again from its own size.
void fitTexts(QWidget *form);
void fitText(QWidget &control);

// A fixed-size window wider or taller than its screen's available area, frame included, is drawn
// smaller as a whole: every control's place, size and font by one factor, so that all of it is on the
// screen (192 dpi on a 1280 x 1024 screen leaves 640 x 512 for windows drawn at 96 dpi). A scale asked
// for by hand (QT_SCALE_FACTOR) is not undone. Call it on the hidden window, before fitTexts.
void fitOnScreen(QWidget &window);

// Every window of the program opens in the middle of its screen, frame and title bar included, or
// as near it as the screen allows (framePosition); the compositor decides where programPlacesWindows
// is false. Call it before or while the window is shown: until the window manager has framed the window
// its frame is guessed from the last window seen, and the window is put right as soon as it appears.
void centreOnScreen(QWidget &window);
