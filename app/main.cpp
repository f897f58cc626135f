#include "app/CommandLine.h"
#include "app/StartUp.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    // Before QApplication: --help and --version must not need a display.
    const CommandLine::Outcome command = CommandLine::parse(CommandLine::fromArgv(argc, argv));
    if (!command.startGui)
        return CommandLine::finish(command);

    // No thread runs beside QApplication's constructor, which changes the environment (the X11
    // plugin unsets DESKTOP_STARTUP_ID): the font configuration is loaded when Qt first needs it.
    QList<QByteArray> qtArguments = CommandLine::forQt(argc, argv);
    std::vector<char *> qtArgv;
    for (QByteArray &argument : qtArguments)
        qtArgv.push_back(argument.data());
    qtArgv.push_back(nullptr);
    int qtArgc = int(qtArguments.size());
    QApplication app(qtArgc, qtArgv.data());
    // A platform without any screen (a frame buffer that is not one) has nowhere to put a window.
    if (!QGuiApplication::primaryScreen()) {
        std::fputs("zenor-lyrandel: no screen to show the window on\n", stderr);
        return 1;
    }
    StartUp::connectSessionBus();
    StartUp::prepareApplication();
    StartUp::RunStartUp();
    return QApplication::exec();
}
