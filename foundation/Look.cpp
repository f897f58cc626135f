#include "foundation/Look.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}
