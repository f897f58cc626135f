#include "foundation/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

const QString kLockName = QStringLiteral("zenor-lyrandel.lock");

uint userId()
{
#if defined(Q_OS_UNIX)
    return geteuid();
#else
    return 0; // the folders below are the user's own there
#endif
}

std::unique_ptr<QLockFile> &lock()
{
    static std::unique_ptr<QLockFile> l;
    return l;
}

// A folder of the program's own for the lock: made private when missing, then checked, since
// anyone may have made it first (a shared temporary folder is world-writable).
bool makePrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
#if defined(Q_OS_UNIX)
    const QByteArray name = QFile::encodeName(path);
    if (mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
#else
    if (!QDir().mkpath(path))
        return false;
#endif
    return SingleInstance::isPrivateFolder(path, userId());
}

// The lock file a folder offers: none yet, or a regular file of this user. Anything else (another
// user's lock, a FIFO that would block the open) rules the folder out.
bool lockFileUsable(const QString &path)
{
#if defined(Q_OS_UNIX)
    struct stat file;
    if (lstat(QFile::encodeName(path).constData(), &file) != 0)
        return errno == ENOENT;
    return S_ISREG(file.st_mode) && file.st_uid == geteuid();
#else
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && !info.isSymLink());
#endif
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
#if defined(Q_OS_UNIX)
    struct stat folder;
    if (lstat(QFile::encodeName(path).constData(), &folder) != 0)
        return false;
    return S_ISDIR(folder.st_mode) && folder.st_uid == uid && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
#else
    Q_UNUSED(uid)
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
#endif
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

bool acquire()
{
    if (lock() && lock()->isLocked())
        return true;
    bool anotherCopy = false;
    forEachLockFile([&anotherCopy](const QString &path) {
        // The default stale time is kept: QLockFile only takes over a file whose holder is gone,
        // because a live holder keeps its OS lock on it.
        auto candidate = std::make_unique<QLockFile>(path);
        if (candidate->tryLock(0)) {
            lock() = std::move(candidate);
            return true;
        }
        anotherCopy = candidate->error() == QLockFile::LockFailedError;
        // A folder where no lock can be made (read-only, full) leaves it to the next one.
        return anotherCopy;
    });
    return !anotherCopy;
}

void release()
{
    if (lock())
        lock()->unlock();
    lock().reset();
}

} // namespace SingleInstance
