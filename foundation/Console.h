#pragma once

// Where the program's command-line answers (--help, --version, errors) are written.
namespace Console {

// Makes stdout and stderr reach the terminal the program was started from. A Windows program
// without a console window of its own has none until it attaches to its parent's; elsewhere, and
// where the output is redirected, they already do.
void attachToParent();

} // namespace Console
