#include "web/modHelp.h"

#include "web/LinkTable.h"

#include <QDesktopServices>
#include <QUrl>

namespace modHelp {

void OpenWebPage(const QString &address)
{
    // The address arrives complete and already encoded; keep it byte for byte.
    QDesktopServices::openUrl(QUrl::fromEncoded(address.toUtf8(), QUrl::StrictMode));
}

void OpenHomePage()
{
    OpenWebPage(webPageAddress(WebPage::Home));
}

void OpenOnlineHelpPage()
{
    OpenWebPage(webPageAddress(WebPage::OnlineHelp));
}

void OpenDownloadPage()
{
    OpenWebPage(webPageAddress(WebPage::Download));
}

void OpenDonatePage()
{
    OpenWebPage(webPageAddress(WebPage::Donate));
}

void OpenFullyBrandedPage()
{
    OpenWebPage(webPageAddress(WebPage::FullyBranded));
}

void OpenCoBrandPage()
{
    OpenWebPage(webPageAddress(WebPage::CoBrand));
}

void OpenOtherProductsPage()
{
    OpenWebPage(webPageAddress(WebPage::OtherProducts));
}

} // namespace modHelp
