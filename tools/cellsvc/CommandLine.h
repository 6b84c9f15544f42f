#pragma once

#include <string>
#include <variant>

namespace cellsvc
{

// What the command line asks for. The command-line parser (a large header) is kept to
// CommandLine.cpp, so that only that small file pays for parsing it.
struct CommandLine {
    enum class Command { Import, Serve };
    Command command = Command::Serve;
    // The database named on the command line; empty for the default one.
    std::string database;
    // import
    std::string exportFile;
    unsigned cacheMiB = 256;
    bool replace = false;
    // serve
    std::string listen;
    bool listenGiven = false;
    unsigned threads = 1;
};

// Reads `cellsvc import|serve ...`. `defaultDatabase` and `footer` go into the help. Returns
// the exit status instead when the program is to end at once: 0 after the help or the version,
// 2 after saying on standard error what is wrong with the command line.
std::variant<CommandLine, int> readCommandLine(int argc, char** argv,
                                               const std::string& defaultDatabase,
                                               const std::string& footer);

} // namespace cellsvc
