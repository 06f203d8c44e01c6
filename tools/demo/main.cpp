// tallix-demo-gen: writes a demo Kest folder full of made-up logs.

#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

#include "demo/demo_logs.h"

namespace {

constexpr std::string_view Usage = "Usage: tallix-demo-gen [--seed N] FOLDER\n";

void printHelp() {
    std::cout << Usage
              << "\n"
                 "Writes a demo Kest folder into FOLDER: kest.ini, the folders Reports, Logs\n"
                 "and Monitor, and made-up logs and reports in them (a rich-text report, a\n"
                 "log of exactly 65000 lines and one of 65001). Existing files of the same\n"
                 "names are overwritten; nothing else is touched.\n"
                 "\n"
                 "  --seed N   the seed of the made-up traffic (default 1); the same seed\n"
                 "             always gives the same files\n"
                 "  --help     show this text\n";
}

int usageError(std::string_view message) {
    std::cerr << "tallix-demo-gen: " << message << "\n" << Usage;
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::uint32_t seed = 1;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        }
        if (arg == "--seed") {
            if (i + 1 >= argc)
                return usageError("--seed needs a number");
            const std::string_view value = argv[++i];
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seed);
            if (error != std::errc() || end != value.data() + value.size())
                return usageError("--seed needs a number from 0 to 4294967295");
            continue;
        }
        if (arg.size() > 1 && arg.front() == '-')
            return usageError("unknown option " + std::string(arg));
        if (!folder.empty())
            return usageError("only one FOLDER, please");
        folder = arg;
    }
    if (folder.empty())
        return usageError("no FOLDER given");

    try {
        const auto written = tallix::demo::writeDemoKestFolder(folder, seed);
        std::cout << "Wrote " << written.size() << " files into " << folder << " (seed " << seed
                  << ")\n";
    } catch (const std::exception& e) {
        std::cerr << "tallix-demo-gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
