#include "foundation/AfterFirstFrame.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace {

// The frame is painted while the expose event is handled, so the job is queued behind it.
class AfterFirstFrame final : public QObject
{
public:
    AfterFirstFrame(QWidget &window, std::function<void()> job) : QObject(&window), m_job(std::move(job))
    {
        window.installEventFilter(this);
        watchHandle();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_handle && event->type() == QEvent::Expose && m_handle->isExposed())
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
        else if (watched == parent() && event->type() == QEvent::Show)
            watchHandle(); // the native window exists from here on
        else if (watched == parent() && event->type() == QEvent::Hide)
            run();
        return false;
    }

private:
    void watchHandle()
    {
        if (m_handle)
            return;
        m_handle = static_cast<QWidget *>(parent())->windowHandle();
        if (!m_handle)
            return;
        m_handle->installEventFilter(this);
        // Some platforms expose a window within show(): its frame is out already.
        if (m_handle->isExposed())
            QMetaObject::invokeMethod(this, &AfterFirstFrame::run, Qt::QueuedConnection);
    }

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

QObject *runAfterFirstFrame(QWidget &window, std::function<void()> job)
{
    return new AfterFirstFrame(window, std::move(job));
}
