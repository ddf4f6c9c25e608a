// Drives a fuzz target without libFuzzer, for builds with compilers that have
// none: replays the files given on the command line, then feeds the target
// pseudo-random inputs (and mutations of earlier ones) until the time is up.
//
//   <target>_replay [--seconds S] [--seed N] [FILE or DIRECTORY...]
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    double seconds = 2.0;
    unsigned seed = 1;
    std::vector<std::vector<std::uint8_t>> pool;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (arg == "--seed" && i + 1 < argc) {
            seed = static_cast<unsigned>(std::atoi(argv[++i]));
        } else {
            std::vector<std::filesystem::path> files{arg};
            if (std::filesystem::is_directory(arg)) {
                files.clear();
                for (const auto& entry : std::filesystem::directory_iterator(arg))
                    files.push_back(entry.path());
            }
            for (const auto& path : files) {
                std::ifstream file(path, std::ios::binary);
                pool.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
                LLVMFuzzerTestOneInput(pool.back().data(), pool.back().size());
            }
        }
    }

    std::mt19937 random(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    std::vector<std::uint8_t> input;
    while (std::chrono::steady_clock::now() < end) {
        if (!pool.empty() && random() % 2) {
            input = pool[random() % pool.size()];
            const int edits = 1 + static_cast<int>(random() % 8);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = input.empty() ? 0 : random() % input.size();
                switch (random() % 3) {
                case 0:
                    if (!input.empty())
                        input[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
                    break;
                case 1: input.insert(input.begin() + static_cast<long>(at), static_cast<std::uint8_t>(random())); break;
                default:
                    if (!input.empty())
                        input.erase(input.begin() + static_cast<long>(at));
                }
            }
        } else {
            input.resize(random() % 512);
            for (auto& b : input)
                b = static_cast<std::uint8_t>(random() % 4 == 0 ? random() % 16 : random());
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
        if (pool.size() < 256)
            pool.push_back(input);
        else
            pool[random() % pool.size()] = input;
        ++runs;
    }
    std::cerr << runs << " inputs in " << seconds << " s\n";
    return 0;
}
