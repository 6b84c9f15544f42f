#include "tools/cellsvc/CommandLine.h"

#include "ProjectVersion.h"
#include "tools/cellsvc/HttpServer.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>
#include <iostream>
#include <thread>

namespace cellsvc
{

std::variant<CommandLine, int> readCommandLine(int argc, char** argv,
                                               const std::string& defaultDatabase,
                                               const std::string& footer)
{
    // A word where the command belongs is named; CLI11 would only ask for a command.
    if (argc < 2 || (argv[1][0] != '-' && std::strcmp(argv[1], "import") != 0 &&
                     std::strcmp(argv[1], "serve") != 0)) {
        std::cerr << "cellsvc: "
                  << (argc < 2 ? std::string("give a command, import or serve")
                               : "unknown command \"" + std::string(argv[1]) +
                                     "\"; the commands are import and serve")
                  << "\nTry 'cellsvc --help' for more information.\n";
        return 2;
    }
    CLI::App app{"cellsvc: a cell-location service for plover, fed from the OpenCelliD export.",
                 "cellsvc"};
    app.set_version_flag("--version", std::string("cellsvc ") + kProjectVersion);
    app.require_subcommand(1, 1);

    CommandLine line;
    line.listen = std::string(kDefaultListen);
    line.threads = std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
    std::string importDatabase;
    CLI::App* import = app.add_subcommand(
        "import", "Read an export (CSV, plain or gzip) into the database, adding new cells and "
                  "updating known ones in one transaction: a stopped import changes nothing.");
    import->add_option("EXPORT", line.exportFile, "the export file, .csv or .csv.gz")->required();
    import->add_option("DATABASE", importDatabase,
                       "the database (default: " + defaultDatabase + ")");
    import
        ->add_option("--cache-mb", line.cacheMiB,
                     "SQLite's page cache in MiB, most of the memory used")
        ->check(CLI::Range(8u, 65536u))
        ->capture_default_str();
    import->add_flag("--replace", line.replace,
                     "replace every cell the database holds (the sample's, say) by the export's");

    std::string serveDatabase;
    CLI::App* serve = app.add_subcommand(
        "serve", "Answer GET /cellid_location/?&cellid=C&operatorid=MNC&countrycode=MCC&lac=L "
                 "with the cell's position as XML.");
    serve->add_option("DATABASE", serveDatabase, "the database (default: " + defaultDatabase + ")");
    CLI::Option* listenOption =
        serve
            ->add_option("--listen", line.listen, "HOST:PORT to listen on; port 0 picks a free one")
            ->capture_default_str();
    serve->add_option("--threads", line.threads, "event-loop threads (default: one per core)")
        ->check(CLI::Range(1u, 64u));

    for (CLI::App* command : {&app, import, serve}) {
        command->footer(footer);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return app.exit(e);
        }
        const std::string command = import->parsed() ? " import" : serve->parsed() ? " serve" : "";
        std::cerr << "cellsvc" << command << ": " << e.what() << "\n"
                  << "Try 'cellsvc" << command << " --help' for more information.\n";
        return 2;
    }
    line.command = import->parsed() ? CommandLine::Command::Import : CommandLine::Command::Serve;
    line.database = import->parsed() ? importDatabase : serveDatabase;
    line.listenGiven = listenOption->count() > 0;
    return line;
}

} // namespace cellsvc
