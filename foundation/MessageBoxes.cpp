#include "foundation/MessageBoxes.h"

#include <QApplication>

namespace {
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

    QMessageBox box(icon, shown.title, display, buttons, parent ? parent : QApplication::activeWindow());
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
