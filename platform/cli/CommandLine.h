#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <optional>

// Reads a program's command line with the options already added to `parser`, plus --help and
// --version (the project's version). `arguments` are those Qt left: QApplication has taken its
// own options (-platform, -style ...) by then. At most `maxPositional` arguments besides options
// are accepted.
//
// Returns the exit status when the program is to end at once: 0 after printing the help or the
// version on standard output, 2 after naming an unknown option, a missing value or an extra
// argument on standard error. None when the program goes on.
std::optional<int> readCommandLine(QCommandLineParser& parser, const QStringList& arguments,
                                   qsizetype maxPositional = 0);

// The same for a program with windows, before its QApplication exists: --help, --version and a
// refused command line are answered without a window system, so they work with no display.
// Qt's window-system options (-platform, -style, -qwindowgeometry ...) are left to the
// QApplication that follows. Call QCoreApplication::setApplicationName first.
std::optional<int> readCommandLineFirst(int& argc, char* argv[], QCommandLineParser& parser,
                                        qsizetype maxPositional = 0);

// The option --name; with a valueName it takes a value, shown in the help as <valueName>, which
// defaults to defaultValue when one is given.
QCommandLineOption commandLineOption(const char* name, const char* description,
                                     const char* valueName = nullptr,
                                     const char* defaultValue = nullptr);
