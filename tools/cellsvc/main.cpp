// cellsvc: imports the open cell database's export into SQLite and answers the locator's
// "/cellid_location/" requests from it over HTTP, also as a systemd socket-activated service.
#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/CellService.h"
#include "tools/cellsvc/CommandLine.h"
#include "tools/cellsvc/ExportReader.h"
#include "tools/cellsvc/HttpServer.h"
#include "tools/cellsvc/Importer.h"
#include "tools/cellsvc/ProgressLine.h"
#include "tools/cellsvc/ReaderPool.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <systemd/sd-daemon.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace cellsvc;

namespace
{

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double peakMemoryMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

std::atomic<bool> stopRequested{false};
volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signal)
{
    stopSignal = signal;
    stopRequested.store(true);
}

// Redraws the progress bar on a terminal at most five times a second; silent otherwise.
class ProgressBar
{
public:
    ProgressBar() : enabled_(::isatty(STDERR_FILENO) != 0), start_(Clock::now()) {}

    void update(const ImportProgress& progress)
    {
        if (!enabled_ ||
            (!progress.committing && Clock::now() - lastDrawn_ < std::chrono::milliseconds(200))) {
            return;
        }
        lastDrawn_ = Clock::now();
        std::fprintf(stderr, "\r%s\033[K", progressLine(progress, secondsSince(start_)).c_str());
        std::fflush(stderr);
        drawn_ = true;
    }
    void finish()
    {
        if (drawn_) {
            std::fprintf(stderr, "\r\033[K");
        }
    }

private:
    bool enabled_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_{};
};

void printImportResult(const ImportResult& result, const std::string& file, double seconds)
{
    std::printf(
        "read %s rows from %s in %.1f s (%s rows/s)\n", groupThousands(result.rows).c_str(),
        file.c_str(), seconds,
        groupThousands(static_cast<std::int64_t>(result.rows / std::max(seconds, 1e-3))).c_str());
    std::printf("%s added or updated, %s kept (the stored row was newer), %s bad\n",
                groupThousands(result.stored).c_str(), groupThousands(result.keptNewer).c_str(),
                groupThousands(result.bad).c_str());
    for (const BadRow& row : result.firstBad) {
        std::printf("  line %lld: %s\n", static_cast<long long>(row.line), row.problem.c_str());
    }
    if (result.bad > static_cast<std::int64_t>(result.firstBad.size())) {
        std::printf(
            "  ... and %s more bad rows\n",
            groupThousands(result.bad - static_cast<std::int64_t>(result.firstBad.size())).c_str());
    }
    std::printf("processor time %.1f s storing, %.1f s reading and parsing\n",
                result.storingSeconds, result.readingSeconds);
    std::printf("peak memory %.1f MiB\n", peakMemoryMiB());
}

// Where the database lives unless one is named: $XDG_DATA_HOME/cellsvc/cells.db, with
// ~/.local/share when XDG_DATA_HOME is unset or not an absolute path. Empty without a home.
std::string defaultDatabase()
{
    std::filesystem::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return (base / "cellsvc" / "cells.db").string();
}

// The synthetic sample installed with the program: <prefix>/share/cellsvc beside <prefix>/bin.
std::string installedSample()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (self.parent_path().parent_path() / "share" / "cellsvc" / "cells-sample.csv.gz")
        .string();
}

// A failure the user can act on: printed as it is, after "cellsvc: ".
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void checkImportTarget(const std::string& database)
{
    struct stat info {
    };
    if (::stat(database.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        throw Failure(database + " is a folder; give the path of the database file inside it");
    }
    const auto folder = std::filesystem::absolute(database).parent_path();
    if (!std::filesystem::is_directory(folder)) {
        throw Failure("there is no folder for " + database +
                      "; create the folder first (mkdir -p) or choose another path");
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        throw Failure("cannot make files in the folder of " + database + " (" +
                      std::strerror(errno) + "); choose a database in a folder you can write");
    }
}

void checkServable(const std::string& database)
{
    struct stat info {
    };
    if (::stat(database.c_str(), &info) != 0) {
        throw Failure(errno == ENOENT ? "no database at " + database +
                                            "; import an export into it first (cellsvc import "
                                            "EXPORT DATABASE)"
                                      : "cannot reach " + database + ": " + std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw Failure(database + " is a folder; give the path of the database file inside it");
    }
}

int runImport(const std::string& file, const std::string& database, unsigned cacheMiB, bool replace)
{
    checkImportTarget(database);
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    const auto start = Clock::now();
    ProgressBar bar;
    ImportResult result;
    try {
        result = importFile(
            file, database, static_cast<int>(cacheMiB),
            [&bar](const ImportProgress& p) { bar.update(p); }, stopRequested, replace);
    } catch (...) {
        bar.finish();
        throw;
    }
    bar.finish();
    if (result.interrupted) {
        std::printf("interrupted after %s rows: nothing imported; %s\n",
                    groupThousands(result.rows).c_str(),
                    ::access(database.c_str(), F_OK) == 0
                        ? (database + " keeps its previous data").c_str()
                        : "no database was created");
        return 128 + (stopSignal ? static_cast<int>(stopSignal) : SIGINT);
    }
    printImportResult(result, file, secondsSince(start));
    if (result.empty) {
        throw Failure(file +
                      " holds no usable cell row, so nothing was imported; is it an OpenCelliD "
                      "export (radio,mcc,net,area,cell,...)?");
    }
    return 0;
}

// The first start of the service for a user: the default database is made from the sample.
void importSampleInto(const std::string& database)
{
    const std::string sample = installedSample();
    if (!std::filesystem::exists(sample)) {
        throw Failure("no database at " + database + ", and no sample at " + sample +
                      " to begin with; import an export: cellsvc import EXPORT");
    }
    std::filesystem::create_directories(std::filesystem::path(database).parent_path());
    const ImportResult result = importFile(sample, database, 16, {}, stopRequested);
    std::printf("cellsvc: first start: imported the sample's %s cells from %s into %s\n",
                groupThousands(result.stored).c_str(), sample.c_str(), database.c_str());
}

// A database imported by an older cellsvc has no index for /cells_near/: built once, here, so
// that no import has to be repeated; the readers' statements take it up by themselves. Without
// it (a file or folder we may not write) the search still answers, by reading every cell of
// the network.
void addNearIndexOnce(const std::string& database)
{
    const auto start = Clock::now();
    try {
        if (addNearIndex(database, [&database] {
                std::fprintf(stderr,
                             "cellsvc: indexing the cell positions of %s for /cells_near/ "
                             "(once; a few seconds per million cells) ...\n",
                             database.c_str());
            })) {
            std::fprintf(stderr, "cellsvc: indexed the cell positions in %.1f s\n",
                         secondsSince(start));
        }
    } catch (const DatabaseError& e) {
        std::fprintf(stderr,
                     "cellsvc: cannot index the cell positions, so /cells_near/ will be "
                     "slow: %s\n",
                     e.what());
    }
}

// The listening socket systemd hands over (cellsvc.socket), or -1 when started by hand.
int inheritedSocket()
{
    const int count = sd_listen_fds(1);
    if (count <= 0) {
        return -1;
    }
    if (count > 1 || sd_is_socket_inet(SD_LISTEN_FDS_START, AF_UNSPEC, SOCK_STREAM, 1, 0) <= 0) {
        throw Failure("systemd handed over " + std::to_string(count) +
                      " sockets; cellsvc.socket must have exactly one ListenStream, an address "
                      "and port such as 127.0.0.1:8642");
    }
    return SD_LISTEN_FDS_START;
}

// Each open connection takes a descriptor: raise the soft limit (often 1024) to the hard one.
unsigned connectionsWithinDescriptorLimit(unsigned wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return wanted;
    }
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    ::getrlimit(RLIMIT_NOFILE, &limit);
    // Two descriptors may serve one connection for a moment; keep some for the database.
    const rlim_t room = limit.rlim_cur > 128 ? (limit.rlim_cur - 64) / 2 : 32;
    return static_cast<unsigned>(std::min<rlim_t>(wanted, room));
}

int runServe(const std::string& database, const std::string& listenText, bool listenGiven,
             unsigned threads, bool isDefault)
{
    const int inherited = inheritedSocket();
    if (inherited >= 0 && listenGiven) {
        throw Failure("--listen is for a start by hand; started by cellsvc.socket, the socket's "
                      "ListenStream sets the address");
    }
    const std::optional<ListenAddress> address = parseListenAddress(listenText);
    if (!address) {
        std::cerr << "cellsvc: --listen takes HOST:PORT, e.g. 127.0.0.1:8642 or [::1]:8642, not \""
                  << listenText << "\"\n";
        return 2;
    }
    ServerLimits limits;
    limits.threads = threads;
    limits.maxConnections = connectionsWithinDescriptorLimit(limits.maxConnections);

    // The server's threads inherit this mask, so the signals reach only sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (isDefault && !std::filesystem::exists(database)) {
        importSampleInto(database);
    }
    checkServable(database);
    const std::int64_t cells = CellReader(database).count(); // fails on a file not our database
    // Before the readers open: the indexing connection, closing as the last one, merges what it
    // wrote back into the database file. Read-only readers never would, and every lookup would
    // go through a write-ahead log the size of the index.
    addNearIndexOnce(database);
    ReaderPool readers(database, limits.threads);
    std::mutex logMutex;
    CellService service(
        [&readers](const CellKey& key) { return readers.find(key); },
        [&logMutex](const std::string& message) {
            const std::lock_guard lock(logMutex);
            std::cerr << "cellsvc: " << message << "\n";
        },
        [&readers](const NearQuery& query) { return readers.near(query, kMaxNearCells); });
    const auto handler = [&service](std::string_view method, std::string_view target) {
        return service.handle(method, target);
    };
    std::unique_ptr<HttpServer> server =
        inherited >= 0 ? std::make_unique<HttpServer>(inherited, handler, limits)
                       : std::make_unique<HttpServer>(*address, handler, limits);
    if (inherited >= 0) {
        std::printf("cellsvc: serving %s cells from %s on the socket from systemd, port %u\n",
                    groupThousands(cells).c_str(), database.c_str(), server->port());
    } else {
        const bool v6 = address->host.find(':') != std::string::npos;
        std::printf("cellsvc: serving %s cells from %s at http://%s%s%s:%u/cellid_location/\n",
                    groupThousands(cells).c_str(), database.c_str(), v6 ? "[" : "",
                    address->host.c_str(), v6 ? "]" : "", server->port());
    }
    std::fflush(stdout);
    int received = 0;
    sigwait(&stopSignals, &received);
    server->stop();
    std::printf("cellsvc: stopped on %s\n", received == SIGTERM ? "SIGTERM" : "SIGINT");
    return 0;
}

std::string helpFooter(const std::string& database)
{
    return "The database is " + database +
           "\nunless one is named: $XDG_DATA_HOME/cellsvc/cells.db, or\n"
           "~/.local/share/cellsvc/cells.db when XDG_DATA_HOME is unset. When it does not\n"
           "exist, serve first imports the synthetic sample installed with cellsvc,\n" +
           installedSample() +
           ",\nso that the service answers for the sample's cells at once.\n\n"
           "The full open export: download cell_towers.csv.gz from OpenCelliD\n"
           "(opencellid.org, with a free account's token; data under CC BY-SA 4.0), then\n"
           "  cellsvc import --replace cell_towers.csv.gz\n"
           "--replace drops the sample's cells in the same transaction; a running service\n"
           "answers from the new data once the import has committed.\n\n"
           "As a systemd user service, cellsvc.socket listens on 127.0.0.1:8642 and starts\n"
           "cellsvc.service at the first request: systemctl --user start cellsvc.socket\n\n"
           "Exit status: 0 done, 1 failure, 2 bad command line, 130 or 143 when an import\n"
           "is stopped by SIGINT or SIGTERM.";
}

} // namespace

int main(int argc, char** argv)
{
    // Memory statistics take a lock shared by every connection on each allocation; nothing here
    // reads them.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    const std::string database = defaultDatabase();
    const auto read = readCommandLine(
        argc, argv, database, helpFooter(database.empty() ? "not set (no HOME)" : database));
    if (const int* status = std::get_if<int>(&read)) {
        return *status;
    }
    const CommandLine& line = std::get<CommandLine>(read);
    try {
        const bool useDefault = line.database.empty();
        if (useDefault && database.empty()) {
            throw Failure("neither HOME nor XDG_DATA_HOME is set, so there is no default "
                          "database; name one");
        }
        if (line.command == CommandLine::Command::Import) {
            const std::string target = useDefault ? database : line.database;
            if (useDefault) {
                std::filesystem::create_directories(std::filesystem::path(target).parent_path());
            }
            return runImport(line.exportFile, target, line.cacheMiB, line.replace);
        }
        return runServe(useDefault ? database : line.database, line.listen, line.listenGiven,
                        line.threads, useDefault);
    } catch (const std::exception& e) {
        std::cerr << "cellsvc: " << e.what() << "\n";
        return 1;
    }
}
