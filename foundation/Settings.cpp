#include "foundation/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("Settings/Duration");

QString storeName()
{
    // The executable's file name without extension, whatever the binary was renamed to.
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return exe.isEmpty() ? QStringLiteral("zenor-lyrandel") : exe;
}

// QSettings opens the file in its constructor, and to write takes the lock beside it, so both are
// judged first. A file swapped in between by someone who can write the user's folder is not
// guarded against: they could as well write the store itself.
bool storeMayBeWritten(const QString &path)
{
    return Settings::mayOpen(path) && Settings::mayOpen(path + QStringLiteral(".lock"));
}

} // namespace

namespace Settings {

QString storePath()
{
    // Where QSettings keeps a user's native-format store on this platform.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QLatin1Char('/') + storeName() + QStringLiteral(".conf");
}

bool mayOpen(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link;
    if (lstat(name.constData(), &link) != 0)
        return errno == ENOENT;
    if (S_ISREG(link.st_mode))
        return true;
    struct stat target;
    // A dangling link would have the file created wherever it points.
    if (!S_ISLNK(link.st_mode) || stat(name.constData(), &target) != 0 || !S_ISREG(target.st_mode))
        return false;
    return link.st_uid == geteuid() || target.st_uid == link.st_uid;
}

QString reminderDate()
{
    const QString path = storePath();
    if (!Settings::mayOpen(path))
        return QString();
    // A format error elsewhere in the file still leaves every key Qt could read; the date is judged
    // on its own.
    const QSettings store(path, QSettings::IniFormat);
    const QVariant value = store.value(kKey);
    return value.canConvert<QString>() ? value.toString() : QString();
}

bool setReminderDate(const QString &value)
{
    const QString path = storePath();
    if (!storeMayBeWritten(path))
        return false;
    QSettings store(path, QSettings::IniFormat);
    store.setValue(kKey, value);
    store.sync();
    // A format error read earlier stays the status, though the file was written whole.
    return store.status() != QSettings::AccessError && store.isWritable();
}

} // namespace Settings
