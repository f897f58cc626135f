#pragma once

#include <functional>

namespace modHelp {

// Closes every open window and ends the process; in the program it does not return.
void EndProgram();

} // namespace modHelp

// Whether the process is ending, and the test hook that stands in for the real end.
namespace Lifecycle {

// True once EndProgram has started: windows closing then must not open new ones.
bool isEnding();

// Tests: called instead of ending the process. nullptr restores the real end.
using Ender = std::function<void(int exitCode)>;
void setEnderForTest(Ender ender);
void resetForTest();

} // namespace Lifecycle
