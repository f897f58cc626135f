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
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, storeName());
    if (store.status() != QSettings::NoError)
        return {};
    const QVariant value = store.value(kKey);
    return value.canConvert<QString>() ? value.toString() : QString();
}

bool setReminderDate(const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, storeName());
    store.setValue(kKey, value);
    store.sync();
    return store.status() == QSettings::NoError && store.isWritable();
}

} // namespace Settings
