#include "foundation/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString kKey = QStringLiteral("Settings/Duration");

QString storeName()
{
    // The executable's file name without extension, whatever the binary was renamed to.
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return exe.isEmpty() ? QStringLiteral("zenor-lyrandel") : exe;
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
// Saving replaces the file (a link's target, for a link) with a new one of whoever saves. Run by
// root with a user's HOME (sudo), or through a link, that would take the file over from its owner,
// who could then no longer store their own date: someone else's store is read and left.
bool ownStoreOrNone(const QString &path)
{
    struct stat file;
    if (stat(QFile::encodeName(path).constData(), &file) != 0)
        return errno == ENOENT;
    return file.st_uid == geteuid();
}

// QSettings opens the file in its constructor, and to write takes the lock beside it, so both are
// judged first. A file swapped in between by someone who can write the user's folder is not
// guarded against: they could as well write the store itself.
bool storeMayBeWritten(const QString &path)
{
    return Settings::mayOpen(path) && ownStoreOrNone(path) &&
           Settings::mayOpen(path + QStringLiteral(".lock"));
}

// The store, or none when its file may not be opened.
std::unique_ptr<QSettings> openStore(bool toWrite)
{
    const QString path = Settings::storePath();
    if (!(toWrite ? storeMayBeWritten(path) : Settings::mayOpen(path)))
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
#else
// Where the native store is not a file of its own (the registry, macOS's preferences), it is left
// to QSettings, under a key of the maker's and the program's: on Windows
// HKEY_CURRENT_USER\Software\Karvelle Softwares\zenor-lyrandel.
std::unique_ptr<QSettings> openStore(bool)
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Karvelle Softwares"), storeName());
}
#endif

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
#if defined(Q_OS_UNIX)
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
#else
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
#endif
}

QString reminderDate()
{
    const std::unique_ptr<QSettings> store = openStore(false);
    if (!store)
        return QString();
    // A format error elsewhere in the file still leaves every key Qt could read; the date is judged
    // on its own.
    const QVariant value = store->value(kKey);
    return value.canConvert<QString>() ? value.toString() : QString();
}

bool setReminderDate(const QString &value)
{
    const std::unique_ptr<QSettings> store = openStore(true);
    if (!store)
        return false;
    store->setValue(kKey, value);
    store->sync();
    // A format error read earlier stays the status, though the file was written whole.
    return store->status() != QSettings::AccessError && store->isWritable();
}

} // namespace Settings
