#include "foundation/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QLockFile>
#include <memory>
#endif

namespace SingleInstance {

QString lockFilePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/zenor-lyrandel.lock");
}

} // namespace SingleInstance

#if defined(Q_OS_UNIX)

// The lock is flock() on the file, the same lock QLockFile takes, so either sees the other. Unlike
// QLockFile it writes the file without a sync to disk: the lock lives in the kernel, and a file
// that did not survive a crash would only have been stale anyway. That sync cost milliseconds of
// every start on a runtime folder that is not in memory.
namespace {
int g_fd = -1;
QByteArray g_path;
} // namespace

namespace SingleInstance {

bool acquire()
{
    if (g_fd >= 0)
        return true;
    const QByteArray path = QFile::encodeName(lockFilePath());
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return true; // no lock can be made here: the program runs unguarded
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK;
            ::close(fd);
            return !held;
        }
        // The holder we waited out may have removed the file between our open and our lock; then
        // the lock is on a file nobody else will open, and it is taken again on the file in place.
        struct stat opened = {}, named = {};
        if (::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            // Who holds it, in QLockFile's own lines, so QLockFile takes it for a live holder's.
            const QByteArray holder =
                QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                QFile::encodeName(QFileInfo(QCoreApplication::applicationFilePath()).fileName()) + '\n' +
                QSysInfo::machineHostName().toUtf8() + '\n';
            if (::ftruncate(fd, 0) == 0 &&
                ::write(fd, holder.constData(), static_cast<size_t>(holder.size())) < 0) {
                // Only informative: the lock holds without it.
            }
            g_fd = fd;
            g_path = path;
            return true;
        }
        ::close(fd);
    }
    return true; // the file keeps changing under us: do not stop the program for it
}

void release()
{
    if (g_fd < 0)
        return;
    // Removed while still locked, so the next copy never takes a lock on a file already gone.
    ::unlink(g_path.constData());
    ::close(g_fd);
    g_fd = -1;
}

} // namespace SingleInstance

#else

namespace {
std::unique_ptr<QLockFile> &lock()
{
    static std::unique_ptr<QLockFile> l;
    return l;
}
} // namespace

namespace SingleInstance {

bool acquire()
{
    if (lock() && lock()->isLocked())
        return true;
    // The default stale time is kept: QLockFile only takes over a file whose holder is gone,
    // because a live holder keeps its OS lock on it.
    lock() = std::make_unique<QLockFile>(lockFilePath());
    if (lock()->tryLock(0))
        return true;
    const bool anotherCopy = lock()->error() == QLockFile::LockFailedError;
    lock().reset();
    return !anotherCopy;
}

void release()
{
    if (lock())
        lock()->unlock();
    lock().reset();
}

} // namespace SingleInstance

#endif
