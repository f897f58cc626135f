#pragma once

#include <QString>

// The program's one persisted value, in the per-user store named after the executable.
namespace Settings {

// The stored text, empty when missing or unreadable, whatever else the file holds.
QString reminderDate();
// False when the store cannot be written; start-up carries on either way.
bool setReminderDate(const QString &value);

} // namespace Settings
