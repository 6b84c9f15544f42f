// A stand-in for libFuzzer's driver, so that fuzz targets also build with g++ and run under
// CTest: replays every file named on the command line, then feeds --runs=N generated inputs.
// The generated inputs mix random bytes with mutations of the replayed files and of a few
// characters that the project's parsers care about, from a fixed seed so that a failure
// repeats. Coverage-guided search needs the real libFuzzer (FUZZ_WITH_LIBFUZZER).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace
{

using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Characters that separate fields in INI lines and modem replies; inputs rich in them reach
// more branches than uniform noise does.
constexpr char kInteresting[] = "[]=;\r\n \t\"',:+0129AaFf\xEF\xBB\xBF";

Bytes generate(std::mt19937& rng, const std::vector<Bytes>& seeds)
{
    const auto below = [&rng](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    Bytes out;
    if (!seeds.empty() && below(4) != 0) {
        out = seeds[below(seeds.size())];
    }
    for (std::size_t edits = 1 + below(16); edits > 0; --edits) {
        const auto at = out.begin() + static_cast<std::ptrdiff_t>(below(out.size() + 1));
        const std::ptrdiff_t left = out.end() - at;
        switch (below(4)) {
        case 0: // random byte
            out.insert(at, static_cast<std::uint8_t>(below(256)));
            break;
        case 1: // interesting byte
            out.insert(at, static_cast<std::uint8_t>(kInteresting[below(sizeof kInteresting - 1)]));
            break;
        case 2: // delete a byte
            if (left > 0) {
                out.erase(at);
            }
            break;
        default: // duplicate a run
            if (left > 0) {
                const Bytes run(at, at + std::min<std::ptrdiff_t>(
                                             1 + static_cast<std::ptrdiff_t>(below(32)), left));
                out.insert(at, run.begin(), run.end());
            }
        }
    }
    out.resize(std::min<std::size_t>(out.size(), 4096));
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    long runs = 1000;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0 || std::strncmp(argv[i], "-runs=", 6) == 0) {
            runs = std::strtol(std::strchr(argv[i], '=') + 1, nullptr, 10);
            continue;
        }
        seeds.push_back(readFile(argv[i]));
        LLVMFuzzerTestOneInput(seeds.back().data(), seeds.back().size());
    }
    std::mt19937 rng(12345);
    for (long i = 0; i < runs; ++i) {
        const Bytes input = generate(rng, seeds);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%zu files replayed, %ld generated inputs, no failure\n", seeds.size(), runs);
    return 0;
}
