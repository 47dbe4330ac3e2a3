#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstdio>

#include "app/strings.h"

namespace murlen {

namespace {

constexpr int kRefused = 2;

// Qt's own options: those of QGuiApplication, QApplication and the X11
// platform that take a value, then those that do not.
const char* const kQtOptionsWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                            "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                            "display", "geometry", "style", "stylesheet", "qmljsdebugger"};
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// The argument as the user typed it whose option name the parser did not know;
// the last argument when the parser missed a value after it.
QString Offending(const QStringList& arguments, const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty()) return parser.positionalArguments().first();
    const QStringList unknown = parser.unknownOptionNames();
    for (const QString& argument : arguments.mid(1)) {
        QString name = argument.section(QLatin1Char('='), 0, 0);
        while (name.startsWith(QLatin1Char('-'))) name.remove(0, 1);
        if (unknown.contains(name)) return argument;
    }
    return arguments.last();
}

}  // namespace

std::optional<int> AnswerCommandLine(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    // Qt's options are words after a single dash; so are ours after two.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption showVersion(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(showVersion);
    for (const char* name : kQtOptionsWithValue)
        parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value")));
    for (const char* name : kQtFlags) parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        Print(stderr, LoadResString(254) + Offending(arguments, parser) + LoadResString(255));
        return kRefused;
    }
    if (parser.isSet(help)) {
        Print(stdout, LoadResString(250) + QLatin1Char('\n') + LoadResString(101) + QStringLiteral(". ") +
                          LoadResString(251) + QLatin1String("\n\n") + LoadResString(252) + QLatin1Char('\n') +
                          LoadResString(253));
        return 0;
    }
    if (parser.isSet(showVersion)) {
        Print(stdout, QStringLiteral("murlen ") + version);
        return 0;
    }
    return std::nullopt;
}

}  // namespace murlen
