// cellsvc: imports the open cell database's export into SQLite and answers the locator's
// "/cellid_location/" requests from it over HTTP.
#include "tools/cellsvc/CellDatabase.h"
#include "tools/cellsvc/CellService.h"
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
#include <iostream>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace cellsvc;

namespace
{

constexpr const char* kUsage =
    "usage: cellsvc import <export.csv | export.csv.gz> <database> [--cache-mb N]\n"
    "       cellsvc serve <database> [--listen HOST:PORT] [--threads N]\n"
    "\n"
    "import  reads a cell export (radio,mcc,net,area,cell,unit,lon,lat,range,samples,...)\n"
    "        into the database, adding new cells and updating known ones; one transaction,\n"
    "        so an interrupted import leaves the previous data as it was.\n"
    "serve   answers GET /cellid_location/?&cellid=C&operatorid=MNC&countrycode=MCC&lac=L\n"
    "        with the cell's position as XML; listens on 127.0.0.1:8642 unless told otherwise.\n";

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

// Options after the positional arguments: "--name value".
struct Options {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> named;
    std::string error;

    const std::string* find(const std::string& name) const
    {
        for (const auto& [key, value] : named) {
            if (key == name) {
                return &value;
            }
        }
        return nullptr;
    }
};

Options readOptions(int argc, char** argv, int first)
{
    Options options;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--")) {
            if (i + 1 >= argc) {
                options.error = arg + " needs a value";
                break;
            }
            options.named.emplace_back(arg, argv[++i]);
        } else {
            options.positional.push_back(arg);
        }
    }
    return options;
}

bool readCount(const Options& options, const std::string& name, unsigned low, unsigned high,
               unsigned& value)
{
    const std::string* text = options.find(name);
    if (!text) {
        return true;
    }
    char* end = nullptr;
    const unsigned long number = std::strtoul(text->c_str(), &end, 10);
    if (text->empty() || *end != '\0' || number < low || number > high) {
        std::cerr << "cellsvc: " << name << " takes a number from " << low << " to " << high
                  << "\n";
        return false;
    }
    value = static_cast<unsigned>(number);
    return true;
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

int runImport(const Options& options)
{
    if (options.positional.size() != 2) {
        std::cerr << kUsage;
        return 2;
    }
    unsigned cacheMiB = 256;
    if (!readCount(options, "--cache-mb", 8, 65536, cacheMiB)) {
        return 2;
    }
    const std::string& file = options.positional[0];
    const std::string& database = options.positional[1];

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    const auto start = Clock::now();
    ProgressBar bar;
    try {
        const ImportResult result = importFile(
            file, database, static_cast<int>(cacheMiB),
            [&bar](const ImportProgress& p) { bar.update(p); }, stopRequested);
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
            std::fprintf(stderr, "cellsvc: %s holds no usable cell row; nothing imported\n",
                         file.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        bar.finish();
        std::cerr << "cellsvc: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

int runServe(const Options& options)
{
    if (options.positional.size() != 1) {
        std::cerr << kUsage;
        return 2;
    }
    ServerLimits limits;
    limits.threads = std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
    if (!readCount(options, "--threads", 1, 64, limits.threads)) {
        return 2;
    }
    const std::string listenText =
        options.find("--listen") ? *options.find("--listen") : std::string(kDefaultListen);
    const std::optional<ListenAddress> address = parseListenAddress(listenText);
    if (!address) {
        std::cerr << "cellsvc: --listen takes HOST:PORT, e.g. 127.0.0.1:8642 or [::1]:8642\n";
        return 2;
    }
    const std::string& database = options.positional[0];

    // The server's threads inherit this mask, so the signals reach only sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        ReaderPool readers(database, limits.threads);
        const std::int64_t cells = readers.count();
        std::mutex logMutex;
        CellService service([&readers](const CellKey& key) { return readers.find(key); },
                            [&logMutex](const std::string& message) {
                                const std::lock_guard lock(logMutex);
                                std::cerr << "cellsvc: " << message << "\n";
                            });
        HttpServer server(
            *address,
            [&service](std::string_view method, std::string_view target) {
                return service.handle(method, target);
            },
            limits);
        const bool v6 = address->host.find(':') != std::string::npos;
        std::printf("cellsvc: serving %s cells from %s at http://%s%s%s:%u/cellid_location/\n",
                    groupThousands(cells).c_str(), database.c_str(), v6 ? "[" : "",
                    address->host.c_str(), v6 ? "]" : "", server.port());
        std::fflush(stdout);
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
        std::printf("cellsvc: stopped on %s\n", received == SIGTERM ? "SIGTERM" : "SIGINT");
    } catch (const std::exception& e) {
        std::cerr << "cellsvc: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cout << kUsage;
        return argc < 2 ? 2 : 0;
    }
    const Options options = readOptions(argc, argv, 2);
    if (!options.error.empty()) {
        std::cerr << "cellsvc: " << options.error << "\n";
        return 2;
    }
    const std::string command = argv[1];
    if (command == "import") {
        return runImport(options);
    }
    if (command == "serve") {
        return runServe(options);
    }
    std::cerr << kUsage;
    return 2;
}
