#pragma once

#include <QString>
#include <Qt>

#include <optional>

// The first-name field takes letters A-Z, a-z and Backspace; every other typed character is refused.
namespace NameFilter {

// The character code a key press produces on a desktop (Ctrl+V gives 22, Enter 13), or nullopt
// for keys that type nothing (arrows, Delete, Tab, Alt shortcuts).
std::optional<int> typedCharacterCode(int key, Qt::KeyboardModifiers modifiers, const QString &text);

bool accepts(int code);

QString refusal();

} // namespace NameFilter
