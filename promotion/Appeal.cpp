#include "promotion/Appeal.h"

#include "web/LinkTable.h"

#include <cmath>

namespace Appeal {

int pickIndex(float r)
{
    // 4 is a power of two, so the product is exact and the floor is 0..3 for r in [0, 1).
    return static_cast<int>(std::floor(static_cast<double>(r) * 4.0));
}

QString message(int index)
{
    const QString d = Sites::domain();
    switch (index) {
    case 0:
        return QStringLiteral("Karvelle Softwares, such as this can be created and maintained only with your "
                              "support. The best way to support Karvelle is to visit ") +
               d +
               QStringLiteral(
                   " regularly and take part in the discussions and other activities on the board.");
    case 1:
        return QStringLiteral("Visit ") + d + QStringLiteral(" regularly. Support ") + d +
               QStringLiteral(
                   " by taking part in the discussions and other activities. These softwares cannot "
                   "be supported and maintained, without you regularly visiting ") +
               d;
    case 2:
        return d + QStringLiteral(" is a FREE online discussion forum for all things mystic. To help ") + d +
               QStringLiteral(" develop and maintain this software visit Karvelle regularly.");
    case 3:
        return d + QStringLiteral(" needs your help. All you need to do is visit ") + d +
               QStringLiteral(" regularly and take part in the various discussions and activites to help us "
                              "maintain and develop more Karvelle Softwares.");
    default:
        return {};
    }
}

} // namespace Appeal
