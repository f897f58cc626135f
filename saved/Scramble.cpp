#include "saved/Scramble.h"

namespace {

constexpr int kShift = 85;

QString shifted(const QString &text, int shift)
{
    QString result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const int code = ch.unicode() + shift;
        // Outside the single-byte range there is no coded form: leave the character out.
        if (code >= 0 && code <= 255 && ch.unicode() <= 255)
            result.append(QChar(code));
    }
    return result;
}

} // namespace

QString ScrambleText(const QString &text)
{
    return shifted(text, kShift);
}

QString UnscrambleText(const QString &text)
{
    return shifted(text, -kShift);
}
