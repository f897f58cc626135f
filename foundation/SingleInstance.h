#pragma once

#include <QString>

// One running copy per user. The lock is an OS lock held for the holder's lifetime, so a copy
// that was killed or crashed never locks the user out.
namespace SingleInstance {

// True when this process now holds the lock; false when another live copy holds it.
// A lock that cannot be made at all (no runtime folder) does not stop the program.
bool acquire();
void release();

QString lockFilePath();

} // namespace SingleInstance
