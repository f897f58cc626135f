// The same-UI floor: the main window's own form and look table, shown, and nothing else: no
// start-up sequence, no font substitutes, no icon, no handlers. What the window the design asks
// for costs by itself; the program is measured against it.
#include "reading/frmMain.h"
#include "ui_frmMain.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    Ui::frmMain ui;
    ui.setupUi(&window);
    frmMain::applyLook(&window);
    window.show();
    return QApplication::exec();
}
