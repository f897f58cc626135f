#include "foundation/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("Settings/Duration");

QString storeName()
{
    // The executable's file name without extension, whatever the binary was renamed to.
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return exe.isEmpty() ? QStringLiteral("zenor-lyrandel") : exe;
}

} // namespace

namespace Settings {

QString reminderDate()
{
    // A format error elsewhere in the file still leaves every key Qt could read; the date is judged
    // on its own.
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, storeName());
    const QVariant value = store.value(kKey);
    return value.canConvert<QString>() ? value.toString() : QString();
}

bool setReminderDate(const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, storeName());
    store.setValue(kKey, value);
    store.sync();
    // A format error read earlier stays the status, though the file was written whole.
    return store.status() != QSettings::AccessError && store.isWritable();
}

} // namespace Settings
