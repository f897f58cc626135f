#include "foundation/Console.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <cstdio>
#include <windows.h>
#endif

namespace Console {

void attachToParent()
{
#if defined(Q_OS_WIN)
    // A redirection or pipe set by the caller is kept; only missing streams go to the console.
    const auto missing = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool out = missing(STD_OUTPUT_HANDLE), err = missing(STD_ERROR_HANDLE);
    if (!(out || err) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (out)
        std::freopen("CONOUT$", "w", stdout);
    if (err)
        std::freopen("CONOUT$", "w", stderr);
#endif
}

} // namespace Console
