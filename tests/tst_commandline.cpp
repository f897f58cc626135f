#include "app/CommandLine.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// No display at all, and a private home and runtime folder.
QProcessEnvironment withoutDisplay(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
    return env;
}
} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void outcome_data();
    void outcome();
    void helpNamesTheProgramAndItsOptions();
    void realProgramWithoutDisplay_data();
    void realProgramWithoutDisplay();
    void qtOptionsReachQt_data();
    void qtOptionsReachQt();
    void firstStartWritesOnAPlatformThatExposesInShow();
};

void tst_CommandLine::outcome_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("startGui");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("forQt"); // what QApplication reads, where the GUI starts

    const QString program = QStringLiteral("zenor-lyrandel");
    const QString version = QStringLiteral("zenor-lyrandel " ZL_VERSION "\n");
    const auto usage = [](const QString &message) {
        return QStringLiteral("zenor-lyrandel: %1 Try 'zenor-lyrandel --help' for more information.\n")
            .arg(message);
    };
    QTest::newRow("nothing") << QStringList{program} << true << 0 << QString() << QString()
                             << QStringList{program};
    QTest::newRow("--version") << QStringList{program, "--version"} << false << 0 << version << QString()
                               << QStringList();
    QTest::newRow("-v") << QStringList{program, "-v"} << false << 0 << version << QString() << QStringList();
    QTest::newRow("unknown long") << QStringList{program, "--frobnicate"} << false << 2 << QString()
                                  << usage("Unknown option 'frobnicate'.") << QStringList();
    QTest::newRow("unknown short") << QStringList{program, "-x"} << false << 2 << QString()
                                   << usage("Unknown option 'x'.") << QStringList();
    QTest::newRow("stray argument") << QStringList{program, "reading.num"} << false << 2 << QString()
                                    << usage("Unexpected argument 'reading.num'.") << QStringList();
    QTest::newRow("Qt option without its value")
        << QStringList{program, "-platform"} << false << 2 << QString()
        << usage("Missing value after '-platform'.") << QStringList();
    QTest::newRow("version beside an unknown option")
        << QStringList{program, "--version", "--bogus"} << false << 2 << QString()
        << usage("Unknown option 'bogus'.") << QStringList();
    // Qt's own options are left for QApplication.
    QTest::newRow("Qt options") << QStringList{program,  "-platform", "offscreen",
                                               "-style", "Fusion",    "-reverse"}
                                << true << 0 << QString() << QString()
                                << QStringList{program,  "-platform", "offscreen",
                                               "-style", "Fusion",    "-reverse"};
    QTest::newRow("Qt options, = and --")
        << QStringList{program, "-style=Fusion", "--platform=xcb", "-display", ":9"} << true << 0 << QString()
        << QString() << QStringList{program, "-style", "Fusion", "-platform", "xcb", "-display", ":9"};
    // Qt reads "-platform=x" as no platform at all: it gets the two words.
    QTest::newRow("Qt options with =")
        << QStringList{program, "-platform=offscreen", "--geometry=300x200+0+0", "-qwindowtitle=a=b",
                       "--reverse"}
        << true << 0 << QString() << QString()
        << QStringList{program,       "-platform",     "offscreen", "-geometry",
                       "300x200+0+0", "-qwindowtitle", "a=b",       "-reverse"};
    QTest::newRow("values that begin with a dash")
        << QStringList{program, "-geometry", "-0+0", "-title", "-", "-name", "x=-y"} << true << 0 << QString()
        << QString() << QStringList{program, "-geometry", "-0+0", "-title", "-", "-name", "x=-y"};
    // Qt would take the option for the value, and abort.
    QTest::newRow("Qt option given another option")
        << QStringList{program, "-platform", "-v"} << false << 2 << QString()
        << usage("Missing value after '-platform'.") << QStringList();
    QTest::newRow("Qt option given nothing after =")
        << QStringList{program, "-platform="} << false << 2 << QString()
        << usage("Missing value after '-platform='.") << QStringList();
}

void tst_CommandLine::outcome()
{
    QFETCH(QStringList, arguments);
    const CommandLine::Outcome outcome = CommandLine::parse(arguments);
    QTEST(outcome.startGui, "startGui");
    QTEST(outcome.exitCode, "exitCode");
    QTEST(outcome.standardOutput, "out");
    QTEST(outcome.standardError, "err");
    if (!outcome.startGui)
        return;
    QList<QByteArray> argv;
    for (const QString &argument : arguments)
        argv.append(argument.toLocal8Bit());
    std::vector<char *> pointers;
    for (QByteArray &argument : argv)
        pointers.push_back(argument.data());
    QStringList forQt;
    for (const QByteArray &argument : CommandLine::forQt(int(pointers.size()), pointers.data()))
        forQt.append(QString::fromLocal8Bit(argument));
    QTEST(forQt, "forQt");
}

void tst_CommandLine::helpNamesTheProgramAndItsOptions()
{
    for (const char *option : {"--help", "-h"}) {
        const CommandLine::Outcome outcome = CommandLine::parse(
            {QStringLiteral("zenor-lyrandel"), QString::fromLatin1(option), QStringLiteral("-x")});
        QVERIFY(!outcome.startGui);
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.standardError.isEmpty());
        const QString &help = outcome.standardOutput;
        QVERIFY2(help.startsWith(QStringLiteral("Usage: zenor-lyrandel [options]\n")), qPrintable(help));
        QVERIFY(help.contains(QStringLiteral("-h, --help")));
        QVERIFY(help.contains(QStringLiteral("-v, --version")));
        QVERIFY(help.contains(QStringLiteral("-platform and -style")));
        // Qt's options are accepted, not advertised one by one.
        QVERIFY(!help.contains(QStringLiteral("--widgetcount")));
    }
}

void tst_CommandLine::realProgramWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outStart");
    QTest::addColumn<int>("errLines");
    QTest::addColumn<bool>("intoFullDevice"); // standard output: /dev/full

    QTest::newRow("--help") << QStringList{"--help"} << 0 << QStringLiteral("Usage: zenor-lyrandel [options]")
                            << 0 << false;
    QTest::newRow("--version") << QStringList{"--version"} << 0
                               << QStringLiteral("zenor-lyrandel " ZL_VERSION "\n") << 0 << false;
    QTest::newRow("unknown") << QStringList{"--nope"} << 2 << QString() << 1 << false;
    // As GNU tools do: what could not be written is a failure, said on stderr.
    QTest::newRow("--help into a full device") << QStringList{"--help"} << 1 << QString() << 1 << true;
    QTest::newRow("--version into a full device") << QStringList{"--version"} << 1 << QString() << 1 << true;
    // A platform with no screen at all: said and ended, before the instance lock or the settings.
#if defined(Q_OS_UNIX)
    QTest::newRow("no screen") << QStringList{"-platform", "linuxfb:fb=/dev/null"} << 1 << QString() << 1
                               << false;
#endif
}

// The installed program, not the parser alone: no display, and the platform forced to X11, so
// any attempt to start the GUI would abort with Qt's platform message instead.
void tst_CommandLine::realProgramWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment env = withoutDisplay(home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Qt's own complaints (the frame buffer that is not one) are not the program's.
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*.warning=false;*.critical=false"));
    // Under the sanitizers: Qt's libraries keep no frame pointers, so only the full stack of what
    // the frame buffer plugin leaves behind (more in Qt 6.8) names the plugin the suppression names.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":fast_unwind_on_malloc=0"));

    QProcess program;
    program.setProcessEnvironment(env);
    QFETCH(bool, intoFullDevice);
    if (intoFullDevice)
        program.setStandardOutputFile(QStringLiteral("/dev/full"));
    program.start(QStringLiteral(ZL_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(20000));
    // Windows' text streams end lines with "\r\n".
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput()).remove(QLatin1Char('\r'));
    const QString err = QString::fromLocal8Bit(program.readAllStandardError()).remove(QLatin1Char('\r'));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QTEST(program.exitCode(), "exitCode");
    QFETCH(QString, outStart);
    QVERIFY2(outStart.isEmpty() ? out.isEmpty() : out.startsWith(outStart), qPrintable(out));
    QFETCH(int, errLines);
    QCOMPARE(err.count(QLatin1Char('\n')), errLines);
    QVERIFY2(err.isEmpty() || err.startsWith(QStringLiteral("zenor-lyrandel: ")), qPrintable(err));
    // Nothing was stored: the GUI never started.
    QVERIFY(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

void tst_CommandLine::qtOptionsReachQt_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("two words") << QStringList{"-platform", "offscreen", "-style", "Fusion"};
    QTest::newRow("with = and --") << QStringList{"--platform=offscreen", "-style=Fusion"};
}

// With no display, only a -platform that reached Qt lets the program start and keep running.
void tst_CommandLine::qtOptionsReachQt()
{
#if !defined(Q_OS_UNIX)
    QSKIP("the lock file it looks for is the Unix lock");
#endif
    QFETCH(QStringList, arguments);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcess program;
    program.setProcessEnvironment(withoutDisplay(home.path()));
    program.start(QStringLiteral(ZL_PROGRAM), arguments);
    QVERIFY(program.waitForStarted());
    QVERIFY2(!program.waitForFinished(1500), program.readAllStandardError().constData());
    program.kill();
    program.waitForFinished();
    // It got as far as the lock of a running copy.
    QVERIFY(!QDir(home.path()).entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden).isEmpty());
}

// The minimal platform exposes the window within show(): the date must not wait for the window to close.
void tst_CommandLine::firstStartWritesOnAPlatformThatExposesInShow()
{
#if !defined(Q_OS_UNIX)
    QSKIP("the store it reads is the Unix file");
#endif
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcess program;
    QProcessEnvironment env = withoutDisplay(home.path());
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ZL_PROGRAM), {QStringLiteral("-platform"), QStringLiteral("minimal")});
    QVERIFY(program.waitForStarted());
    const auto stored = [&home] {
        QFile store(home.filePath(QStringLiteral(".config/zenor-lyrandel.conf")));
        return store.open(QIODevice::ReadOnly) ? store.readAll() : QByteArray();
    };
    QTRY_VERIFY_WITH_TIMEOUT(stored().contains("Duration="), 10000);
    QCOMPARE(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
