#include "foundation/SingleInstance.h"

// Unix: lock files in private folders (SingleInstance_win.cpp is the Windows side).

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>
#include <vector>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLockName = QStringLiteral("zenor-lyrandel.lock");

uint userId()
{
    return geteuid();
}

std::vector<std::unique_ptr<QLockFile>> &held()
{
    static std::vector<std::unique_ptr<QLockFile>> locks;
    return locks;
}

QString &systemTemp()
{
    // Not QDir::tempPath(): $TMPDIR moves that.
    static QString folder = QStringLiteral("/tmp");
    return folder;
}

enum class Take { Taken, HeldByAnotherCopy, CannotBeMade };

Take take(const QString &path)
{
    // The default stale time is kept: QLockFile only takes over a file whose holder is gone,
    // because a live holder keeps its OS lock on it.
    auto candidate = std::make_unique<QLockFile>(path);
    if (candidate->tryLock(0)) {
        held().push_back(std::move(candidate));
        return Take::Taken;
    }
    return candidate->error() == QLockFile::LockFailedError ? Take::HeldByAnotherCopy : Take::CannotBeMade;
}

// A folder of the program's own for the lock: made private when missing, then checked, since
// anyone may have made it first (a shared temporary folder is world-writable).
bool makePrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    if (mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return SingleInstance::isPrivateFolder(path, userId());
}

// The lock file a folder offers: none yet, or a regular file of this user. Anything else (another
// user's lock, a FIFO that would block the open) rules the folder out.
bool lockFileUsable(const QString &path)
{
    struct stat file;
    if (lstat(QFile::encodeName(path).constData(), &file) != 0)
        return errno == ENOENT;
    return S_ISREG(file.st_mode) && file.st_uid == geteuid();
}

// The lock files to try, best first, until visit says to stop; a fallback folder is made only
// when it is reached.
template <typename Visit> void forEachLockFile(Visit visit)
{
    const uint uid = userId();
    const auto tryFolder = [&](const QString &folder, bool make) {
        const QString file = folder + QLatin1Char('/') + kLockName;
        return (make ? makePrivateFolder(folder) : SingleInstance::isPrivateFolder(folder, uid)) &&
               lockFileUsable(file) && visit(file);
    };
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && tryFolder(runtime, false))
        return;
    if (tryFolder(QDir::tempPath() + QStringLiteral("/zenor-lyrandel-") + QString::number(uid), true))
        return;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty() && QDir().mkpath(cache))
        tryFolder(cache + QStringLiteral("/zenor-lyrandel"), true);
}

} // namespace

namespace SingleInstance {

bool isPrivateFolder(const QString &path, uint uid)
{
    struct stat folder;
    if (lstat(QFile::encodeName(path).constData(), &folder) != 0)
        return false;
    return S_ISDIR(folder.st_mode) && folder.st_uid == uid && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString lockFilePath()
{
    QString first;
    forEachLockFile([&first](const QString &path) {
        first = path;
        return true;
    });
    return first;
}

QString userLockFilePath()
{
    const QString folder = systemTemp() + QStringLiteral("/zenor-lyrandel-") + QString::number(userId());
    const QString file = folder + QLatin1Char('/') + kLockName;
    if (makePrivateFolder(folder) && lockFileUsable(file))
        return file;
    return QString();
}

QString systemTempFolder()
{
    return systemTemp();
}

void setSystemTempFolderForTest(const QString &folder)
{
    systemTemp() = folder;
}

bool acquire()
{
    if (!held().empty())
        return true;
    const QString user = userLockFilePath();
    // A user lock that cannot be made leaves it to the session's.
    if (!user.isEmpty() && take(user) == Take::HeldByAnotherCopy)
        return false;
    bool anotherCopy = false;
    forEachLockFile([&anotherCopy, &user](const QString &path) {
        if (path == user && !held().empty())
            return true; // without a runtime folder or $TMPDIR, one file is both locks
        const Take result = take(path);
        anotherCopy = result == Take::HeldByAnotherCopy;
        // A folder where no lock can be made (read-only, full) leaves it to the next one.
        return result != Take::CannotBeMade;
    });
    if (anotherCopy)
        release();
    return !anotherCopy;
}

void release()
{
    for (const std::unique_ptr<QLockFile> &lock : held())
        lock->unlock();
    held().clear();
}

} // namespace SingleInstance
