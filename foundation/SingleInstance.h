#pragma once

#include <QString>

// One running copy per user. The locks are OS locks held for the holder's lifetime, so a copy
// that was killed or crashed never locks the user out. On Windows the lock is a named mutex of the
// user's session; elsewhere, lock files as below.
namespace SingleInstance {

// True when this process now holds its locks; false when another live copy holds either of them.
// A lock that cannot be made at all (no usable folder) does not stop the program.
bool acquire();
void release();

#if defined(Q_OS_UNIX)

// The session's lock file. Its folder is the session's runtime folder; without a
// usable one, a folder of this user's own in the temporary folder, named with the user id
// ("zenor-lyrandel-1000"); failing that, one in the user's cache folder. A folder or a lock file
// that belongs to someone else is passed over, never trusted.
QString lockFilePath();

// The user's lock file, taken first: the session's lock alone lets a copy started with another
// runtime folder (or $TMPDIR, or HOME) run beside the first. It is kept in the user's own folder
// "zenor-lyrandel-<uid>" in the system's temporary folder itself, "/tmp", which the environment
// does not move and which belongs to this machine, where a home folder may be shared with others.
// Anyone may make that folder first: it is then passed over, checked as above, and the session's
// lock still keeps one copy per session. Empty when there is no usable one, and where the platform
// has no such folder.
QString userLockFilePath();
// Tests keep the user's lock apart from a copy of the program the same user runs.
QString systemTempFolder();
void setSystemTempFolderForTest(const QString &folder);

// Whether path is a real folder (not a link) of the user uid that nobody else can write.
bool isPrivateFolder(const QString &path, uint uid);
#endif

} // namespace SingleInstance
