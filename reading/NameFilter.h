#pragma once

#include <QString>
#include <Qt>

#include <optional>

// The first-name field takes letters A-Z, a-z and Backspace; every other typed character is refused.
namespace NameFilter {

// The character code a key press produces on the classic desktop with a US layout (Ctrl+V gives 22,
// Enter 13), or nullopt for keys and chords that produce none (arrows, Delete, Tab, Alt chords,
// Ctrl+1).
std::optional<int> typedCharacterCode(int key, Qt::KeyboardModifiers modifiers, const QString &text);

// Whether Qt's line edit would insert text of its own for a key press: one that produces no
// character must then be dropped, or Alt+1 would still type "1".
bool carriesText(const QString &text);

bool accepts(int code);

// How many leading characters of an input method's commit the field takes.
qsizetype acceptedLength(const QString &commit);

QString refusal();

} // namespace NameFilter
