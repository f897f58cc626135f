#pragma once

#include <QPixmap>

// The sign pictures, addressed 1 to 24 like the list they came from.
// Pictures are decoded when first asked for, so start-up pays for none of them.
class PictureList final
{
public:
    static constexpr int kCount = 24;

    // A null pixmap when the position is outside 1..24 or the picture cannot be decoded.
    QPixmap picture(int position) const;

private:
    mutable QPixmap m_cache[kCount];
};
