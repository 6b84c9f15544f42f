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

} // namespace

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
