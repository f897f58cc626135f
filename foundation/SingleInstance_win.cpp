#include "foundation/SingleInstance.h"

#include <string>

#include <windows.h>

#include <lmcons.h>

// On Windows the previous-instance test is a named mutex in the session's own namespace
// ("Local\"), named after the user: one copy per user session, no file in the user's folders, and
// since Windows releases a mutex when its holder dies however it dies, a crash never refuses the
// next start.
namespace {

HANDLE &held()
{
    static HANDLE mutex = nullptr;
    return mutex;
}

std::wstring mutexName()
{
    wchar_t user[UNLEN + 1] = {};
    DWORD size = UNLEN + 1;
    std::wstring name = L"Local\\zenor-lyrandel-";
    // Two accounts in one session (run as another user) keep apart.
    if (GetUserNameW(user, &size))
        name += user;
    return name;
}

} // namespace

namespace SingleInstance {

bool acquire()
{
    if (held())
        return true;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, mutexName().c_str());
    // Not made at all (the name taken by another user's object, say): no reason to refuse.
    if (mutex == nullptr)
        return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    held() = mutex;
    return true;
}

void release()
{
    if (held())
        CloseHandle(held());
    held() = nullptr;
}

} // namespace SingleInstance
