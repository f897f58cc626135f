#pragma once

#include <QString>

// Web pages, the update reminder and the end of the program.
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

// At start-up: every 15th day or later, offer to look for a newer version.
void UpdateReminder();

// Closes every open window and ends the process; in the program it does not return.
void EndProgram();

} // namespace modHelp
