#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// Every message box of the program is shown here, so tests can answer them without a modal loop.
namespace MessageBoxes {

inline QString appTitle()
{
    return QStringLiteral("Zenor Lyrandel");
}

struct Shown
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    // The window the box was given as its owner; the box then stays over it.
    const QWidget *owner = nullptr;
};

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                 QMessageBox::StandardButtons buttons);
// A dialog's own box, under that dialog's title instead of the application title.
QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                 const QString &text, QMessageBox::StandardButtons buttons);

// Refused input: critical icon, OK only.
void critical(QWidget *parent, const QString &text);
// Notices: information icon, OK only.
void information(QWidget *parent, const QString &text);
// The one question: information icon, Yes and No. True on Yes.
bool askYesNo(QWidget *parent, const QString &text);

// Tests: every box goes to the responder instead of the screen; nullptr restores real boxes.
using Responder = std::function<QMessageBox::StandardButton(const Shown &)>;
void setResponderForTest(Responder responder);

} // namespace MessageBoxes
