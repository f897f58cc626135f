#include "foundation/Lifecycle.h"

#include "foundation/SingleInstance.h"

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

bool g_ending = false;
bool g_ended = false; // only with a test ender, which returns where the real end does not
QList<QPointer<QWidget>> g_closing;

Lifecycle::Ender &ender()
{
    static Lifecycle::Ender e;
    return e;
}

bool isProgramWindow(const QWidget *w)
{
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog;
}

bool alreadyClosing(QWidget *w)
{
    for (const QPointer<QWidget> &p : std::as_const(g_closing))
        if (p == w)
            return true;
    return false;
}

} // namespace

namespace Lifecycle {

bool isEnding()
{
    return g_ending;
}

void setEnderForTest(Ender e)
{
    ender() = std::move(e);
}

void resetForTest()
{
    g_ending = false;
    g_ended = false;
    g_closing.clear();
}

} // namespace Lifecycle

void modHelp::EndProgram()
{
    // May be entered again from a close handler this walk triggers; the inner call finishes the job.
    g_ending = true;
    const QWidgetList windows = QApplication::topLevelWidgets();
    QList<QPointer<QWidget>> pending;
    for (QWidget *w : windows)
        pending.append(w);
    for (const QPointer<QWidget> &w : std::as_const(pending)) {
        if (!w || !isProgramWindow(w) || alreadyClosing(w))
            continue;
        g_closing.append(w);
        w->close(); // a window that refuses to close is simply left behind
        if (g_ended)
            return; // a close handler's own EndProgram ended the process: this walk never resumes
    }

    SingleInstance::release();
    if (ender()) {
        if (!g_ended) {
            g_ended = true;
            ender()(0);
        }
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0); // nothing of the program may run after this point
}
