#pragma once

#include <QString>

#include <initializer_list>

class QWidget;

// What screen readers are told beyond what Qt tells them of each control. Nothing here runs
// unless a window asks; events reach the accessibility bus only while a screen reader listens.
namespace Accessibility {

// A caption as it is read: "&&" is an ampersand, "&x" marks x.
QString withoutAccessKeys(const QString &caption);

// Has the containers of every window leave out their unseen children. Call it once QApplication is
// made (Qt's own widget interfaces come with it; the last made answers first) and before any window
// is: an interface Qt made for a container is kept for its life.
void answerForContainers();

// A control that stays in its place where nobody can see it (under the page in front, below the
// client area): its access key still works, but Tab passes it by and screen readers do not find
// it among its parent's children. Marking it seen again gives it back its own focus policy.
void setUnseen(QWidget *control, bool unseen);
bool isUnseen(const QWidget *control);

// Has screen readers speak text now, without moving the focus: a notification of the window
// that near is in, as desktop notifications are read.
void announce(QWidget *near, const QString &text);

// A control that Tab reaches while a screen reader listens, and only then: links drawn as labels,
// which sighted users click, and which would otherwise each lay out their text as a document.
void reachByTabWithScreenReader(QWidget *control);

// QWidget::setTabOrder along order, for controls whatever their focus policy now: Qt's leaves out
// a control that takes no focus, as those above do until a screen reader listens.
void setTabOrder(std::initializer_list<QWidget *> order);

} // namespace Accessibility
