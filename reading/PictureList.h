#pragma once

#include <QPixmap>

// The sign pictures, addressed 1 to 24 like the list they came from.
// Pictures are decoded when first asked for, so start-up pays for none of them.
class PictureList final
{
public:
    static constexpr int kCount = 24;

    // The picture for a screen of the given device pixel ratio: above 1 it is the drawing at twice
    // the size (device pixel ratio 2), so both cover 74 x 74 device-independent pixels.
    // A null pixmap when the position is outside 1..24 or the picture cannot be decoded.
    QPixmap picture(int position, qreal devicePixelRatio = 1.0) const;

private:
    mutable QPixmap m_cache[2][kCount];
};
