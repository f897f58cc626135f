#include "app/StartUp.h"

#include "app/UpdateReminder.h"
#include "foundation/Lifecycle.h"
#include "foundation/Look.h"
#include "foundation/MessageBoxes.h"
#include "foundation/RandomGenerator.h"
#include "foundation/SingleInstance.h"
#include "reading/frmMain.h"
#include "web/modHelp.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPointer>
#include <QWindow>

#include <functional>
#include <utility>

namespace {
qint16 g_intCoBrandRandomNumber = 0;

// Runs a job once, after the window's first frame is out: the frame is painted while the expose
// event is handled, so the job is queued behind it. Some platforms expose a window within show();
// one already exposed queues the job at once. A window that goes before it was ever exposed runs
// the job as it goes.
class AfterFirstFrame final : public QObject
{
public:
    AfterFirstFrame(QWidget &window, std::function<void()> job) : QObject(&window), m_job(std::move(job))
    {
        window.installEventFilter(this);
        m_handle = window.windowHandle();
        if (m_handle)
            m_handle->installEventFilter(this);
        if (m_handle && m_handle->isExposed())
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_handle && event->type() == QEvent::Expose && m_handle->isExposed())
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
        else if (watched == parent() && event->type() == QEvent::Hide)
            run();
        return false;
    }

private:
    void run()
    {
        if (!m_job)
            return;
        const std::function<void()> job = std::exchange(m_job, nullptr);
        if (m_handle)
            m_handle->removeEventFilter(this);
        parent()->removeEventFilter(this);
        deleteLater();
        job();
    }

    std::function<void()> m_job;
    QPointer<QWindow> m_handle;
};

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

void prepareApplication()
{
    // The fonts are looked up by the first window's look table (installedFamily), not here: Qt's font
    // database would be loaded before fontconfig's warm-up is done, which then runs twice.

    // addFile decodes at once, so a 96 dpi desktop decodes only the small sizes; where a screen is
    // dense, the 64 px icon is drawn from 128 device pixels instead of being blown up.
    QIcon icon;
    for (const int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/icons/zenor-lyrandel-%1.png").arg(size), QSize(size, size));
    if (qApp->devicePixelRatio() > 1.0)
        icon.addFile(QStringLiteral(":/icons/zenor-lyrandel-128.png"), QSize(128, 128));
    QApplication::setWindowIcon(icon);
    // Windows come and go at exit; only EndProgram ends the process.
    QApplication::setQuitOnLastWindowClosed(false);
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
    if (!SingleInstance::acquire()) {
        MessageBoxes::information(nullptr, QStringLiteral("Application is already running"));
        modHelp::EndProgram();
        return;
    }
    Random::seedFromTimer();
    // A due question comes before the window; the silent write of a first start waits for it.
    std::function<void()> silentWrite = modHelp::UpdateReminderLeavingSilentWrite();

    auto *window = new frmMain; // deletes itself when closed
    window->adjustSize();
    centreOnScreen(*window);
    window->show();
    CoBrand_Randomize(*window);
    if (silentWrite)
        runAfterFirstFrame(*window, std::move(silentWrite));
}

void runAfterFirstFrame(QWidget &window, std::function<void()> job)
{
    new AfterFirstFrame(window, std::move(job));
}

} // namespace StartUp
