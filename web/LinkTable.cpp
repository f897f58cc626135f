#include "web/LinkTable.h"

QString webPageAddress(WebPage page)
{
    const QString main = QStringLiteral("http://") + Sites::mainHost();
    const QString help = QStringLiteral("http://") + Sites::helpHost();
    switch (page) {
    case WebPage::Home:
        return main; // the bare site, no trailing slash
    case WebPage::OnlineHelp:
        return main + QStringLiteral("/zenor-free-lyrandel/zenor-free-lyrandel-help.html");
    case WebPage::Download:
        return main + QStringLiteral("/zenor-free-lyrandel/download-zenor-free-lyrandel.html");
    case WebPage::Donate:
        return help + QStringLiteral("/donate.html");
    case WebPage::FullyBranded:
        return help + QStringLiteral("/fully-branded.html");
    case WebPage::CoBrand:
        return help + QStringLiteral("/co-brand.html");
    case WebPage::OtherProducts:
        return main + QStringLiteral("/karvellesoftwares");
    }
    return main;
}
