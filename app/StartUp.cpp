#include "app/StartUp.h"

#include "app/UpdateReminder.h"
#include "foundation/Accessibility.h"
#include "foundation/AfterFirstFrame.h"
#include "foundation/Lifecycle.h"
#include "foundation/Look.h"
#include "foundation/MessageBoxes.h"
#include "foundation/RandomGenerator.h"
#include "foundation/SingleInstance.h"
#include "reading/frmMain.h"
#include "web/modHelp.h"

#include <QApplication>
#include <QIcon>

#include <functional>
#include <future>
#include <utility>

#if ZL_HAVE_DBUS
#include <QDBusConnection>
#endif

namespace {
qint16 g_intCoBrandRandomNumber = 0;
std::future<void> g_busConnected; // a normal exit waits for its end
} // namespace

namespace StartUp {

qint16 coBrandNumber(float r)
{
    return Random::roundHalfEven16(static_cast<double>(r) * 6.0 + 1.0);
}

Banner bannerFor(qint16 number)
{
    switch (number) {
    case 2:
    case 4:
    case 6:
        return Banner::FullBrand;
    case 1:
    case 3:
    case 5:
        return Banner::Cobrand;
    default:
        return Banner::Unchanged; // 7 keeps the window's own stacking
    }
}

qint16 intCoBrandRandomNumber()
{
    return g_intCoBrandRandomNumber;
}

void connectSessionBus()
{
#if ZL_HAVE_DBUS
    // Qt keeps one session bus connection per process and makes it once, whichever thread asks
    // first; a thread that asks while it is being made waits for the same connection.
    g_busConnected = std::async(std::launch::async, [] { QDBusConnection::sessionBus(); });
#endif
}

void prepareApplication()
{
    // Windows come and go at exit; only EndProgram ends the process. The fonts are looked up by the
    // first window's look table (installedFamily).
    QApplication::setQuitOnLastWindowClosed(false);
    Accessibility::answerForContainers();
}

void setProgramIcon()
{
    // addFile decodes at once, so a 96 dpi desktop decodes only the small sizes; where a screen is
    // dense, the 64 px icon is drawn from 128 device pixels instead of being blown up.
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/zenor-lyrandel-%1.png").arg(size), QSize(size, size));
    if (qApp->devicePixelRatio() > 1.0)
        icon.addFile(QStringLiteral(":/icons/zenor-lyrandel-128.png"), QSize(128, 128));
    QApplication::setWindowIcon(icon);
}

void CoBrand_Randomize(frmMain &window)
{
    g_intCoBrandRandomNumber = coBrandNumber(Random::next());
    switch (bannerFor(g_intCoBrandRandomNumber)) {
    case Banner::FullBrand:
        window.bringFullBrandToFront();
        break;
    case Banner::Cobrand:
        window.bringCobrandToFront();
        break;
    case Banner::Unchanged:
        break;
    }
}

void RunStartUp()
{
    // A box that comes before the main window carries the icon too.
    const auto iconNow = [] {
        if (QApplication::windowIcon().isNull())
            setProgramIcon();
    };
    if (!SingleInstance::acquire()) {
        iconNow();
        MessageBoxes::information(nullptr, QStringLiteral("Application is already running"));
        modHelp::EndProgram();
        return;
    }
    Random::seedFromTimer();
    // A due question comes before the window; the silent write of a first start waits for it.
    std::function<void()> silentWrite = modHelp::UpdateReminderLeavingSilentWrite(iconNow);

    auto *window = new frmMain; // deletes itself when closed
    window->adjustSize();
    centreOnScreen(*window);
    window->show();
    CoBrand_Randomize(*window);
    // The title bar and the taskbar get the icon one frame later; the frame itself does not show it.
    runAfterFirstFrame(*window, [iconNow, silentWrite = std::move(silentWrite)] {
        iconNow();
        if (silentWrite)
            silentWrite();
    });
}

} // namespace StartUp
