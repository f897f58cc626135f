#include "foundation/Look.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

void applyLooks(QWidget *form, std::initializer_list<Look> looks)
{
    for (const Look &look : looks) {
        QWidget *w = form->objectName() == QLatin1String(look.objectName)
                         ? form
                         : form->findChild<QWidget *>(QLatin1String(look.objectName));
        if (!w)
            continue;
        if (look.family) {
            QFont font(QString::fromLatin1(look.family));
            font.setPointSizeF(look.points);
            font.setBold(look.bold);
            font.setUnderline(look.underline);
            w->setFont(font);
        }
        if (look.text.isValid() || look.background.isValid()) {
            QPalette palette = w->palette();
            if (look.text.isValid())
                palette.setColor(QPalette::WindowText, look.text);
            if (look.background.isValid()) {
                palette.setColor(QPalette::Window, look.background);
                w->setAutoFillBackground(true);
            }
            w->setPalette(palette);
        }
    }
}

namespace {

// The frame the window manager gave the last window, the best guess for the next one.
QMargins g_lastFrame;

void placeInCentre(QWidget &window, const QMargins &frame)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize outer = QRect(QPoint(), window.size()).marginsAdded(frame).size();
    const QPoint topLeft = framePosition(outer, screen->availableGeometry());
    // setGeometry places the client area whether or not the window exists yet; move() would place
    // the frame before the first show and the client area after it.
    window.setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window.size()));
}

bool isFramed(const QWidget &window)
{
    const QWindow *handle = window.windowHandle();
    return window.isVisible() && handle && handle->isExposed();
}

// Puts the window right once it is on screen, when the window manager's frame is known.
class CentreWhenFramed final : public QObject
{
public:
    explicit CentreWhenFramed(QWidget &window) : QObject(&window), m_window(window)
    {
        setObjectName(name());
        window.installEventFilter(this);
        watchHandle();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            watchHandle();
        } else if (watched == m_handle && event->type() == QEvent::Expose && m_handle->isExposed()) {
            g_lastFrame = m_handle->frameMargins();
            placeInCentre(m_window, g_lastFrame);
            m_handle->removeEventFilter(this);
            m_window.removeEventFilter(this);
            setObjectName(QString());
            deleteLater();
        }
        return false;
    }

    static QString name() { return QStringLiteral("centreWhenFramed"); }

private:
    void watchHandle()
    {
        if (m_handle || !m_window.windowHandle())
            return;
        m_handle = m_window.windowHandle();
        m_handle->installEventFilter(this);
    }

    QWidget &m_window;
    QPointer<QWindow> m_handle;
};

} // namespace

bool programPlacesWindows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QPoint framePosition(const QSize &frame, const QRect &available)
{
    const auto along = [](int start, int room, int length) {
        return length <= room ? start + (room - length) / 2 : start;
    };
    return {along(available.x(), available.width(), frame.width()),
            along(available.y(), available.height(), frame.height())};
}

void centreOnScreen(QWidget &window)
{
    if (!programPlacesWindows())
        return;
    if (isFramed(window)) {
        g_lastFrame = window.windowHandle()->frameMargins();
        placeInCentre(window, g_lastFrame);
        return;
    }
    placeInCentre(window, g_lastFrame);
    if (!window.findChild<QObject *>(CentreWhenFramed::name(), Qt::FindDirectChildrenOnly))
        new CentreWhenFramed(window);
}
