#pragma once

#include <functional>

class QObject;
class QWidget;

// Runs a job once, right after the window's first frame is out: what nobody sees in that frame
// need not delay it. A window that goes before it was ever exposed runs the job as it goes. Call
// it before or after the window is shown. Returns the job's holder, a child of the window:
// deleting it drops the job (a window whose job needs its own members drops it as it is destroyed).
QObject *runAfterFirstFrame(QWidget &window, std::function<void()> job);
