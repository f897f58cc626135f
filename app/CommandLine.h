#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The program's command line, read before anything of the GUI exists, so that --help and
// --version work without a display.
namespace CommandLine {

// Exit status for a command line the program does not understand (as most Unix tools do).
constexpr int kUsageError = 2;

struct Outcome
{
    bool startGui = true; // false: print and exit with exitCode, no window
    int exitCode = 0;
    QString standardOutput;
    QString standardError;
};

// arguments[0] is the program itself. Qt's own options (-platform, -style, ...) are accepted
// and left for QApplication, which reads them from the same argv.
Outcome parse(const QStringList &arguments);

QStringList fromArgv(int argc, char *argv[]);

// argv as QApplication is to read it: Qt knows its options only as "-name value" (and a few as
// "-name=value"), so "-platform=offscreen" and "--platform=offscreen" become "-platform offscreen".
// Bytes are passed on untouched; everything else stays as it is.
QList<QByteArray> forQt(int argc, char *argv[]);

// Prints what the outcome says; returns its exit code.
int finish(const Outcome &outcome);

} // namespace CommandLine
