#include "foundation/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include <memory>

namespace {
std::unique_ptr<QLockFile> &lock()
{
    static std::unique_ptr<QLockFile> l;
    return l;
}
} // namespace

namespace SingleInstance {

QString lockFilePath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/zenor-lyrandel.lock");
}

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
