#pragma once

#include <QtGlobal>

#include <functional>

class frmMain;
class QWidget;

// What runs when the process starts, before the user sees any window of ours.
namespace StartUp {

// Which of the two overlapping branding links the pick puts in front.
enum class Banner { FullBrand, Cobrand, Unchanged };

// r x 6 + 1, exact, rounded half to even: 1..7.
qint16 coBrandNumber(float r);
Banner bannerFor(qint16 number);

// Right after QApplication: connects to the session bus on a second thread. Qt's accessibility
// bridge, which the first widget starts, then finds the connection made or under way instead of
// making it while the main thread waits. Without Qt's D-Bus module it does nothing.
void connectSessionBus();

// Settles how the program ends; cheap, no windows.
void prepareApplication();

// The program's icon, for every window from here on and those already open. It decodes four
// pictures and loads Qt's image plugins, so start-up sets it after the main window's first frame
// (or before a box that comes first).
void setProgramIcon();

// The start-up sequence: single instance, seeding, update reminder, main window, banner pick.
void RunStartUp();

void CoBrand_Randomize(frmMain &window);

// The last banner pick, 1..7 (0 before any pick).
qint16 intCoBrandRandomNumber();

} // namespace StartUp
