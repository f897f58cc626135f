#include "app/CommandLine.h"
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Before QApplication: --help and --version must not need a display.
    const CommandLine::Outcome command = CommandLine::parse(CommandLine::fromArgv(argc, argv));
    if (!command.startGui)
        return CommandLine::finish(command);

    StartUp::warmUpFonts();
    QApplication app(argc, argv);
    StartUp::connectSessionBus();
    StartUp::prepareApplication();
    StartUp::RunStartUp();
    return QApplication::exec();
}
