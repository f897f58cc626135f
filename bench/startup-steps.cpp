// Times each step of the start-up in one process, to find what costs time before the main window
// is on screen. Mirrors app/main.cpp and StartUp::RunStartUp step by step (update both together).
//   zl-bench-steps [floor|layout]   prints "step=ms ..."; "floor" times the bare-label floor instead,
//                                   "layout" the former floor (a QWidget whose layout holds the label).
// Set ZL_BENCH_T0 to the wall-clock start in seconds (bash: $EPOCHREALTIME) to also time
// exec up to main(). The process quits once the window has been painted.
#include "app/StartUp.h"
#include "app/UpdateReminder.h"
#include "foundation/RandomGenerator.h"
#include "foundation/SingleInstance.h"
#include "reading/frmMain.h"
#include "web/modHelp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

double wallNow()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Notes when the window's first paint has finished.
class PaintWatch final : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

std::string g_out;
QElapsedTimer g_timer;
qint64 g_last = 0;

void lap(const char *step)
{
    const qint64 now = g_timer.nsecsElapsed();
    char buf[96];
    snprintf(buf, sizeof buf, "%s=%.3f ", step, static_cast<double>(now - g_last) / 1e6);
    g_out += buf;
    g_last = now;
}

} // namespace

int main(int argc, char *argv[])
{
    const double mainAt = wallNow();
    g_timer.start();
    const bool floor = argc > 1 && !strcmp(argv[1], "floor");
    const bool layoutFloor = argc > 1 && !strcmp(argv[1], "layout");
    if (const char *t0 = getenv("ZL_BENCH_T0")) {
        char buf[64];
        snprintf(buf, sizeof buf, "exec_to_main=%.3f ", (mainAt - atof(t0)) * 1e3);
        g_out += buf;
    }

    QApplication app(argc, argv);
    lap("qapplication");
    if (!floor && !layoutFloor) {
        StartUp::connectSessionBus();
        lap("connect_session_bus");
    }

    QWidget *window = nullptr;
    std::function<void()> silentWrite; // a first start's, run after the first frame as the program does
    if (floor) {
        auto *label = new QLabel(QStringLiteral("One line of text."));
        window = label;
        window->setWindowTitle(QStringLiteral("Zenor Lyrandel floor"));
        window->resize(521, 261);
        lap("create_window");
        window->show();
        lap("show");
    } else if (layoutFloor) {
        window = new QWidget;
        window->setWindowTitle(QStringLiteral("Zenor Lyrandel floor"));
        auto *layout = new QVBoxLayout(window);
        layout->addWidget(new QLabel(QStringLiteral("One line of text."), window));
        lap("create_window");
        window->show();
        lap("show");
    } else {
        StartUp::prepareApplication();
        lap("prepare_application");
        if (!SingleInstance::acquire())
            return 2;
        lap("single_instance");
        Random::seedFromTimer();
        lap("seed");
        silentWrite = modHelp::UpdateReminderLeavingSilentWrite();
        lap("reminder_decision");
        auto *main = new frmMain;
        window = main;
        lap("create_window");
        main->adjustSize();
        lap("adjust_size");
        // centreOnScreen is a handful of arithmetic; not worth mirroring.
        main->show();
        lap("show");
        StartUp::CoBrand_Randomize(*main);
        lap("cobrand");
    }

    PaintWatch watch;
    window->installEventFilter(&watch);
    QElapsedTimer deadline;
    deadline.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (deadline.hasExpired(10000))
            return 3;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    lap("exposed");
    while (!watch.painted) {
        if (deadline.hasExpired(10000))
            return 3;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    lap("first_paint");
    if (!floor && !layoutFloor) {
        StartUp::setProgramIcon();
        lap("window_icon");
    }
    if (silentWrite) {
        silentWrite();
        lap("reminder_write");
    }
    char buf[64];
    snprintf(buf, sizeof buf, "total_in_main=%.3f", static_cast<double>(g_timer.nsecsElapsed()) / 1e6);
    g_out += buf;
    printf("%s\n", g_out.c_str());
    fflush(stdout);
    // Skip teardown: only the way up is measured, and exit hooks would only add noise.
    std::_Exit(0);
}
