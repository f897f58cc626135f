#include "reading/PictureList.h"

#include "reading/SignTable.h"

QPixmap PictureList::picture(int position) const
{
    const std::optional<QString> key = SignTable::pictureKey(position);
    if (!key)
        return {};
    QPixmap &slot = m_cache[position - 1];
    if (slot.isNull())
        slot.load(QStringLiteral(":/signs/") + *key);
    return slot;
}
