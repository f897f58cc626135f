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

// Registers font substitutes and the program icon; cheap, no windows.
void prepareApplication();

// The start-up sequence: single instance, seeding, update reminder, main window, banner pick.
void RunStartUp();

void CoBrand_Randomize(frmMain &window);

// Runs job once, queued behind the shown window's first frame (or as the window goes, if it never
// had one).
void runAfterFirstFrame(QWidget &window, std::function<void()> job);

// The last banner pick, 1..7 (0 before any pick).
qint16 intCoBrandRandomNumber();

} // namespace StartUp
