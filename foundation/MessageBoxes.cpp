#include "foundation/MessageBoxes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLayout>
#include <QScreen>

namespace {

// How wide a title bar must be to show the title whole. The window manager draws it in its own
// font, which the platform reports as the title font, mostly in bold; beside it come the window's
// icon and its buttons, and many title bars centre the title, so room for three buttons of the
// bar's height is kept on each side.
int titleBarWidth(const QString &title)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int button = metrics.height() * 3 / 2;
    return metrics.horizontalAdvance(title) + 6 * button;
}

// Qt leaves a box's title 50 pixels besides its text, less than most title bars take, and the
// window manager then cuts the title short.
class TitledBox final : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent *event) override
    {
        const bool handled = QMessageBox::event(event);
        // Qt sizes the box afresh on each of these.
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
            widenForTitle();
        return handled;
    }

private:
    void widenForTitle()
    {
        const int room = screen() ? screen()->availableGeometry().width() : width();
        const int wanted = qMin(titleBarWidth(windowTitle()), room);
        if (width() >= wanted)
            return;
        layout()->activate();
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(wanted)
                                                         : layout()->totalMinimumSize().height();
        setFixedSize(wanted, height);
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }
};

MessageBoxes::Responder &responder()
{
    static MessageBoxes::Responder r;
    return r;
}
} // namespace

namespace MessageBoxes {

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                 QMessageBox::StandardButtons buttons)
{
    return show(parent, icon, appTitle(), text, buttons);
}

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                 const QString &text, QMessageBox::StandardButtons buttons)
{
    const Shown shown{title, text, icon, buttons, parent};
    if (responder())
        return responder()(shown);

    // A lone carriage return breaks the line in the classic box; Qt's label needs a line feed.
    QString display = text;
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));

    TitledBox box(icon, shown.title, display, buttons, parent ? parent : QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void critical(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

void information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

bool askYesNo(QWidget *parent, const QString &text)
{
    return show(parent, QMessageBox::Information, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void setResponderForTest(Responder r)
{
    responder() = std::move(r);
}

} // namespace MessageBoxes
