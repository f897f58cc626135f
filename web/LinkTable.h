#pragma once

#include <QString>

// The maker's web sites. Change the hosts here and nowhere else.
namespace Sites {

inline QString domain()
{
    return QStringLiteral("karvelle.example");
}
inline QString mainHost()
{
    return QStringLiteral("www.karvelle.example");
}
inline QString helpHost()
{
    return QStringLiteral("help.karvelle.example");
}

} // namespace Sites

// The fixed pages the program links to.
enum class WebPage { Home, OnlineHelp, Download, Donate, FullyBranded, CoBrand, OtherProducts };

QString webPageAddress(WebPage page);
