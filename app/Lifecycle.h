#pragma once

#include <functional>

// How the process ends and whether it is ending; EndProgram itself is in modHelp.
namespace Lifecycle {

// True once EndProgram has started: windows closing then must not open new ones.
bool isEnding();

// Tests: called instead of ending the process. nullptr restores the real end.
using Ender = std::function<void(int exitCode)>;
void setEnderForTest(Ender ender);
void resetForTest();

} // namespace Lifecycle
