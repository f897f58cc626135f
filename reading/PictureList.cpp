#include "reading/PictureList.h"

#include "reading/SignTable.h"

QPixmap PictureList::picture(int position, qreal devicePixelRatio) const
{
    const std::optional<QString> key = SignTable::pictureKey(position);
    if (!key)
        return {};
    // Between 1 and 2 (150 %) the large drawing scaled down still beats the small one scaled up.
    const bool large = devicePixelRatio > 1.0;
    QPixmap &slot = m_cache[large ? 1 : 0][position - 1];
    if (slot.isNull()) {
        QString path = QStringLiteral(":/signs/") + *key;
        if (large)
            path.insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        // The ratio is set here rather than left to the reader's reading of "@2x" in the name, which
        // QT_HIGHDPI_DISABLE_2X_IMAGE_LOADING turns off.
        if (slot.load(path))
            slot.setDevicePixelRatio(large ? 2.0 : 1.0);
        else if (large)
            slot = picture(position, 1.0); // better blurred than missing; kept, so not read again
    }
    return slot;
}
