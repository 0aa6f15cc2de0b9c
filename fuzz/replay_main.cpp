// Stand-alone driver for the fuzz targets in builds without libFuzzer.
//
// Usage: fuzz_NAME [--mutations N] PATH...
// Every PATH is a file or a folder of files (the seed corpus). Each seed is fed to the
// target as it is and then as N deterministic mutations of it (bytes flipped, inserted,
// deleted, duplicated, chunks spliced from other seeds), so that the sanitizer build
// exercises the readers far beyond the seeds themselves.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void collect(const std::filesystem::path& path, std::vector<std::vector<uint8_t>>& seeds)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(path, ec))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files)
            seeds.push_back(readFile(file));
    } else if (std::filesystem::is_regular_file(path, ec)) {
        seeds.push_back(readFile(path));
    }
}

std::vector<uint8_t> mutate(std::vector<uint8_t> data, const std::vector<std::vector<uint8_t>>& seeds,
                            std::mt19937& rng)
{
    const int steps = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < steps; ++i) {
        const size_t size = data.size();
        switch (rng() % 6) {
        case 0: // flip a byte
            if (size)
                data[rng() % size] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
        case 1: // set a byte to an interesting value
            if (size) {
                static const uint8_t interesting[] = {0, 1, 10, 13, 26, 32, 35, 58, 127, 128, 255};
                data[rng() % size] = interesting[rng() % sizeof interesting];
            }
            break;
        case 2: // insert random bytes
            data.insert(data.begin() + static_cast<long>(size ? rng() % (size + 1) : 0), 1 + rng() % 4,
                        static_cast<uint8_t>(rng()));
            break;
        case 3: // erase a run
            if (size) {
                const size_t at = rng() % size;
                const size_t n = std::min<size_t>(size - at, 1 + rng() % 16);
                data.erase(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
            }
            break;
        case 4: // duplicate a run
            if (size) {
                const size_t at = rng() % size;
                const size_t n = std::min<size_t>(size - at, 1 + rng() % 64);
                std::vector<uint8_t> run(data.begin() + static_cast<long>(at),
                                         data.begin() + static_cast<long>(at + n));
                data.insert(data.begin() + static_cast<long>(rng() % (data.size() + 1)), run.begin(), run.end());
            }
            break;
        default: // splice a piece of another seed
            if (!seeds.empty()) {
                const auto& other = seeds[rng() % seeds.size()];
                if (!other.empty()) {
                    const size_t at = rng() % other.size();
                    const size_t n = std::min<size_t>(other.size() - at, 1 + rng() % 128);
                    data.insert(data.begin() + static_cast<long>(size ? rng() % (size + 1) : 0),
                                other.begin() + static_cast<long>(at), other.begin() + static_cast<long>(at + n));
                }
            }
            break;
        }
    }
    return data;
}

} // namespace

int main(int argc, char** argv)
{
    int mutations = 300;
    std::vector<std::vector<uint8_t>> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--mutations") == 0 && i + 1 < argc) {
            mutations = std::atoi(argv[++i]);
            continue;
        }
        collect(argv[i], seeds);
    }
    if (seeds.empty())
        seeds.emplace_back(); // at least the empty input

    std::mt19937 rng(20261207u);
    size_t runs = 0;
    for (const auto& seed : seeds) {
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
        ++runs;
        for (int m = 0; m < mutations; ++m) {
            const auto input = mutate(seed, seeds, rng);
            LLVMFuzzerTestOneInput(input.data(), input.size());
            ++runs;
        }
    }
    std::printf("%zu inputs from %zu seeds ran without a fault\n", runs, seeds.size());
    return 0;
}
