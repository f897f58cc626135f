#include "reading/NameFilter.h"

namespace NameFilter {

std::optional<int> typedCharacterCode(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    // Tab and Shift+Tab move the focus; they are never typed into the field.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return std::nullopt;

    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    // Alt combinations are access keys and menu shortcuts, not characters.
    if (alt && !ctrl)
        return std::nullopt;

    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1; // Ctrl+A = 1 ... Ctrl+Z = 26
        switch (key) {
        case Qt::Key_BracketLeft:
            return 27;
        case Qt::Key_Backslash:
            return 28;
        case Qt::Key_BracketRight:
            return 29;
        case Qt::Key_Backspace:
            return 127;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 10;
        default:
            break;
        }
    }

    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }

    if (text.isEmpty())
        return std::nullopt;
    const QChar first = text.at(0);
    // Delete and other editing keys may carry a control character as text; they type nothing.
    if (key == Qt::Key_Delete)
        return std::nullopt;
    return static_cast<int>(first.unicode());
}

bool accepts(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || code == 8;
}

QString refusal()
{
    return QStringLiteral("Please Enter Character Only");
}

} // namespace NameFilter
