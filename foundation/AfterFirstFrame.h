#pragma once

#include <functional>

class QWidget;

// Runs a job once, right after the window's first frame is out: what nobody sees in that frame
// need not delay it. A window that goes before it was ever exposed runs the job as it goes; one
// deleted first never runs it. Call it before or after the window is shown.
void runAfterFirstFrame(QWidget &window, std::function<void()> job);
