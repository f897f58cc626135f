#include "app/CommandLine.h"

#include "foundation/Console.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QString kProgram = QStringLiteral("zenor-lyrandel");

// The options QGuiApplication, QApplication and the xcb platform take from argv; they are
// accepted here and not listed in the help, which points to Qt's documentation instead.
struct QtOption
{
    const char *name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"geometry", true},
    {"qwindowtitle", true},    {"title", true},
    {"qwindowicon", true},     {"icon", true},
    {"display", true},         {"name", true},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"qmljsdebugger", true},
    {"visual", true},          {"reverse", false},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},         {"sync", false},
    {"testability", false},
};

const QtOption *qtOption(QByteArrayView name)
{
    for (const QtOption &qt : kQtOptions) {
        if (name == qt.name)
            return &qt;
    }
    return nullptr;
}

// A value that is another option (-v, --help) rather than a value; "-" and X geometries such as
// "-0+0" are values.
bool looksLikeAnOption(const QString &value)
{
    return value.size() > 1 && value.front() == QLatin1Char('-') &&
           (value.at(1).isLetter() || value.at(1) == QLatin1Char('-'));
}

QString helpText(const QCommandLineParser &parser)
{
    // Qt's usage line names argv[0] only when an application object exists; ours never does yet.
    QString text = parser.helpText();
    text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    return QStringLiteral("Usage: ") + kProgram + QStringLiteral(" [options]\n") + text;
}

// A command line the program does not understand: one line on stderr, and the usage status.
CommandLine::Outcome refused(const QString &message)
{
    CommandLine::Outcome outcome;
    outcome.startGui = false;
    outcome.exitCode = CommandLine::kUsageError;
    outcome.standardError = kProgram + QStringLiteral(": ") + message + QStringLiteral(" Try '") + kProgram +
                            QStringLiteral(" --help' for more information.\n");
    return outcome;
}

} // namespace

namespace CommandLine {

Outcome parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform); read them whole, not as -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Type your first name and, if you like, a question; Zenor Lyrandel draws one of\n"
                       "twenty-four signs and shows its name, keyword, interpretation and picture.\n\n"
                       "Qt's standard options, such as -platform and -style, are also accepted."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QtOption &qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    Outcome outcome;
    const bool understood = parser.parse(arguments);
    // Help wins over a mistake elsewhere on the line, as with most tools.
    if (parser.isSet(help)) {
        outcome.startGui = false;
        outcome.standardOutput = helpText(parser);
        return outcome;
    }
    if (!understood)
        return refused(parser.errorText());
    // Qt would take the next option for the value and abort, or ignore an empty one.
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QStringLiteral("--"))
            break;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        QStringView name = QStringView(argument).first(equals < 0 ? argument.size() : equals);
        if (!name.startsWith(QLatin1Char('-')))
            continue;
        const QtOption *qt = qtOption(name.mid(name.startsWith(QStringLiteral("--")) ? 2 : 1).toLatin1());
        if (!qt || !qt->takesValue)
            continue;
        const QString value = equals < 0 ? arguments.value(++i) : argument.mid(equals + 1);
        if (value.isEmpty() || looksLikeAnOption(value))
            return refused(QStringLiteral("Missing value after '%1'.")
                               .arg(equals < 0 ? argument : argument.left(equals + 1)));
    }
    if (!parser.positionalArguments().isEmpty())
        return refused(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(version)) {
        outcome.startGui = false;
        outcome.standardOutput = kProgram + QLatin1Char(' ') + QStringLiteral(ZL_VERSION) + QLatin1Char('\n');
    }
    return outcome;
}

QStringList fromArgv(int argc, char *argv[])
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

QList<QByteArray> forQt(int argc, char *argv[])
{
    QList<QByteArray> forQt;
    for (int i = 0; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        const qsizetype equals = argument.indexOf('=');
        QByteArrayView name = QByteArrayView(argument).first(equals < 0 ? argument.size() : equals);
        const qsizetype dashes = name.startsWith("--") ? 2 : name.startsWith('-') ? 1 : 0;
        name = name.sliced(dashes);
        const QtOption *qt = i > 0 && dashes > 0 ? qtOption(name) : nullptr;
        if (!qt) {
            forQt.append(argument);
            continue;
        }
        forQt.append('-' + name.toByteArray());
        if (equals >= 0)
            forQt.append(argument.mid(equals + 1));
    }
    return forQt;
}

int finish(const Outcome &outcome)
{
    Console::attachToParent();
    if (!outcome.standardOutput.isEmpty())
        std::fputs(outcome.standardOutput.toLocal8Bit().constData(), stdout);
    if (!outcome.standardError.isEmpty())
        std::fputs(outcome.standardError.toLocal8Bit().constData(), stderr);
    // As GNU tools do: help or a version that never reached its reader is a failure.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        const int error = errno;
        std::fprintf(stderr, "%s: write error: %s\n", qPrintable(kProgram), std::strerror(error));
        return 1;
    }
    return outcome.exitCode;
}

} // namespace CommandLine
