#pragma once

#include <QString>

// One running copy per user. The lock is an OS lock held for the holder's lifetime, so a copy
// that was killed or crashed never locks the user out.
namespace SingleInstance {

// True when this process now holds the lock; false when another live copy holds it.
// A lock that cannot be made at all (no usable folder) does not stop the program.
bool acquire();
void release();

// The lock file acquire() takes first. Its folder is the session's runtime folder; without a
// usable one, a folder of this user's own in the temporary folder, named with the user id
// ("zenor-lyrandel-1000"); failing that, one in the user's cache folder. A folder or a lock file
// that belongs to someone else is passed over, never trusted.
QString lockFilePath();

// Whether path is a real folder (not a link) of the user uid that nobody else can write.
bool isPrivateFolder(const QString &path, uint uid);

} // namespace SingleInstance
