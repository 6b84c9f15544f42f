// A stand-in for libFuzzer's driver, so that fuzz targets also build with g++ and run under
// CTest: replays every file named on the command line, then feeds --runs=N generated inputs.
// The generated inputs mix random bytes with mutations of the replayed files and of a few
// characters that the project's parsers care about, from a fixed seed so that a failure
// repeats. Coverage-guided search needs the real libFuzzer (FUZZ_WITH_LIBFUZZER).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
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
    std::uniform_int_distribution<int> coin(0, 3);
    Bytes out;
    if (!seeds.empty() && coin(rng) != 0) {
        out = seeds[std::uniform_int_distribution<std::size_t>(0, seeds.size() - 1)(rng)];
    }
    const int edits = std::uniform_int_distribution<int>(1, 16)(rng);
    for (int i = 0; i < edits; ++i) {
        const std::size_t pos =
            out.empty() ? 0 : std::uniform_int_distribution<std::size_t>(0, out.size())(rng);
        switch (coin(rng)) {
        case 0: // random byte
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos),
                       static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(rng)));
            break;
        case 1: // interesting byte
            out.insert(
                out.begin() + static_cast<std::ptrdiff_t>(pos),
                static_cast<std::uint8_t>(kInteresting[std::uniform_int_distribution<std::size_t>(
                    0, sizeof kInteresting - 2)(rng)]));
            break;
        case 2: // delete a byte
            if (pos < out.size()) {
                out.erase(out.begin() + static_cast<std::ptrdiff_t>(pos));
            }
            break;
        default: // duplicate a run
            if (pos < out.size()) {
                const std::size_t len = std::uniform_int_distribution<std::size_t>(
                    1, std::min<std::size_t>(32, out.size() - pos))(rng);
                Bytes run(out.begin() + static_cast<std::ptrdiff_t>(pos),
                          out.begin() + static_cast<std::ptrdiff_t>(pos + len));
                out.insert(out.begin() + static_cast<std::ptrdiff_t>(pos), run.begin(), run.end());
            }
            break;
        }
    }
    if (out.size() > 4096) {
        out.resize(4096);
    }
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
