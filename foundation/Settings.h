#pragma once

#include <QString>

// The program's one persisted value, in the per-user store named after the executable.
namespace Settings {

// The stored text, empty when missing or unreadable, whatever else the file holds.
QString reminderDate();
// False when the store cannot be written, or its file belongs to someone else; start-up carries
// on either way.
bool setReminderDate(const QString &value);

// The store's file: the user's configuration folder, the executable's name, ".conf".
QString storePath();

// Whether a file of the store (or its lock beside it) may be opened: it is missing, or it is a
// regular file, or a link to one. A FIFO would block the open, and writing through a link to a
// device or a folder would replace it; such a store counts as empty and is never written.
// A link is followed only when whoever runs the program owns it, or it leads to a file of the
// link's own owner: a user's link cannot lead root to replace a system file.
bool mayOpen(const QString &path);

} // namespace Settings
