#include "platform/cli/CommandLine.h"

#include "ProjectVersion.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace
{

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The options QGuiApplication and QApplication take for themselves, with one dash or two, and
// those of them that take a value (also written as -name=value).
const QStringList kWindowSystemOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger"};
const QStringList kWindowSystemFlags{"reverse", "widgetcount", "nograb", "dograb", "sync"};

QStringList withoutWindowSystemOptions(const QStringList& arguments)
{
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString name = argument;
        while (name.startsWith(u'-')) {
            name.remove(0, 1);
        }
        const bool dashed = i > 0 && argument.startsWith(u'-');
        if (dashed && kWindowSystemFlags.contains(name)) {
            continue;
        }
        if (dashed && kWindowSystemOptionsWithValue.contains(name.section(u'=', 0, 0))) {
            if (!name.contains(u'=')) {
                ++i; // its value
            }
            continue;
        }
        kept << argument;
    }
    return kept;
}

} // namespace

std::optional<int> readCommandLineFirst(int& argc, char* argv[], QCommandLineParser& parser,
                                        qsizetype maxPositional)
{
    const QCoreApplication withoutWindows(argc, argv);
    return readCommandLine(parser, withoutWindowSystemOptions(QCoreApplication::arguments()),
                           maxPositional);
}

std::optional<int> readCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                   qsizetype maxPositional)
{
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProjectVersion));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QString program = QCoreApplication::applicationName();
    const auto refuse = [&](const QString& what) {
        print(stderr,
              QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program, what));
        return 2;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout,
              QStringLiteral("%1 %2\n").arg(program, QCoreApplication::applicationVersion()));
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > maxPositional)
        return refuse(QStringLiteral("unexpected argument '%1'").arg(positional.at(maxPositional)));
    return std::nullopt;
}

QCommandLineOption commandLineOption(const char* name, const char* description,
                                     const char* valueName, const char* defaultValue)
{
    return {QString::fromUtf8(name), QString::fromUtf8(description), QString::fromUtf8(valueName),
            QString::fromUtf8(defaultValue)};
}
