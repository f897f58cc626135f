#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    StartUp::warmUpFonts();
    QApplication app(argc, argv);
    StartUp::prepareApplication();
    StartUp::RunStartUp();
    return QApplication::exec();
}
