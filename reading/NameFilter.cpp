#include "reading/NameFilter.h"

#include <algorithm>
#include <iterator>

namespace NameFilter {

namespace {

struct ControlChord
{
    int key;
    int code;
};

// The Ctrl chords besides Ctrl+letter that produce a character on the classic US layout. Qt names
// the key after the shifted symbol, so Ctrl+Shift+2 arrives as Ctrl+@ and Ctrl+Shift+6 as Ctrl+^.
// Every other Ctrl chord (Ctrl+1, Ctrl+period, Ctrl+Shift+[) produces nothing.
constexpr ControlChord kControlChords[] = {
    {Qt::Key_At, 0},           {Qt::Key_BracketLeft, 27},
    {Qt::Key_Backslash, 28},   {Qt::Key_BracketRight, 29},
    {Qt::Key_AsciiCircum, 30}, {Qt::Key_Minus, 31},
    {Qt::Key_Underscore, 31},  {Qt::Key_Space, 32},
    {Qt::Key_Escape, 27},      {Qt::Key_Return, 10},
    {Qt::Key_Enter, 10},       {Qt::Key_Backspace, 127},
};

std::optional<int> controlChordCode(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1; // Ctrl+A = 1 ... Ctrl+Z = 26
    const auto *chord = std::find_if(std::begin(kControlChords), std::end(kControlChords),
                                     [key](const ControlChord &c) { return c.key == key; });
    if (chord == std::end(kControlChords))
        return std::nullopt;
    return chord->code;
}

} // namespace

std::optional<int> typedCharacterCode(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    // Tab and Shift+Tab move the focus; they are never typed into the field.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return std::nullopt;

    // An Alt chord is an access key or nothing, never a character; so is a chord with the logo key.
    // AltGr is not reported as Alt: what it produces arrives as plain text below.
    if (modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::MetaModifier))
        return std::nullopt;
    if (modifiers.testFlag(Qt::ControlModifier))
        return controlChordCode(key);

    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    // Delete and other editing keys may carry a control character as text; they type nothing.
    case Qt::Key_Delete:
        return std::nullopt;
    default:
        break;
    }

    if (text.isEmpty())
        return std::nullopt;
    return static_cast<int>(text.at(0).unicode());
}

bool carriesText(const QString &text)
{
    return !text.isEmpty() && text.at(0).isPrint();
}

bool accepts(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == 8;
}

qsizetype acceptedLength(const QString &commit)
{
    const auto refused =
        std::find_if(commit.cbegin(), commit.cend(), [](QChar ch) { return !accepts(ch.unicode()); });
    return refused - commit.cbegin();
}

QString refusal()
{
    return QStringLiteral("Please Enter Character Only");
}

} // namespace NameFilter
