#pragma once

#include <QString>

// Web pages. The module's other routines live with what they need: UpdateReminder in app/,
// EndProgram in foundation/Lifecycle.h.
namespace modHelp {

// Hands one complete address to the desktop, which opens it in the default browser.
// Returns at once; a missing browser is not reported.
void OpenWebPage(const QString &address);

void OpenHomePage();
void OpenOnlineHelpPage();
void OpenDownloadPage();
void OpenDonatePage();
void OpenFullyBrandedPage();
void OpenCoBrandPage();
void OpenOtherProductsPage();

} // namespace modHelp
