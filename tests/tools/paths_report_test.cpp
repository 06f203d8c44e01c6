// tallix-report's digipeater paths: the table, its CSV and the JSON arrays;
// the graph's files are tested over the graph's library (tests/graph).

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "demo/demo_logs.h"
#include "run_process.h"

namespace tallix::report {
namespace {

using testsupport::runReport;
using testsupport::TempDir;

// Counted here straight from the log's lines, without the program's code.
struct LogCounts {
    std::map<std::pair<std::string, std::string>, int> pathFrames; // station, via
    std::map<std::string, int> stationFrames;
    struct Digi {
        int frames = 0, repeated = 0;
        std::set<std::string> stations;
    };
    std::map<std::string, Digi> digis;
};

LogCounts countLog(const std::string& log) {
    LogCounts counts;
    std::size_t at = 0;
    while (at < log.size()) {
        const std::size_t end = log.find("\r\n", at);
        const std::string line = log.substr(at, end - at);
        at = end + 2;
        // The generated calls are short: each header has a blank after its call.
        if (line.rfind("Fm ", 0) != 0)
            continue;
        const std::string station = line.substr(3, line.find(' ', 3) - 3);
        std::string via;
        if (const std::size_t v = line.find(" Via "); v != std::string::npos)
            via = line.substr(v + 5, line.find_first_of(" <>", v + 5) - (v + 5));
        ++counts.pathFrames[{station, via}];
        ++counts.stationFrames[station];
        std::map<std::string, bool> inFrame;
        std::size_t from = 0;
        while (!via.empty() && from <= via.size()) {
            std::string call = via.substr(from, via.find(',', from) - from);
            from += call.size() + 1;
            const bool starred = !call.empty() && call.back() == '*';
            if (starred)
                call.pop_back();
            inFrame[call] = inFrame[call] || starred;
        }
        for (const auto& [call, starred] : inFrame) {
            ++counts.digis[call].frames;
            counts.digis[call].repeated += starred ? 1 : 0;
            counts.digis[call].stations.insert(station);
        }
    }
    return counts;
}

TEST(PathsProgram, JsonArraysAgreeWithTheLogsOwnCounts) {
    demo::LogOptions options;
    options.seed = 16;
    options.lines = 3000;
    options.stations = 30;
    const std::string log = demo::generateLog(options);
    TempDir dir;
    const std::string file = dir.write("log.txt", log);
    const auto ran =
        runReport(dir, {"--json", "--stations", "--paths", "--call", demo::DemoOwnCall, file});
    ASSERT_EQ(ran.status, 0) << ran.err;
    const auto json = nlohmann::json::parse(ran.out);
    const LogCounts counts = countLog(log);

    std::map<std::pair<std::string, std::string>, int> pathFrames;
    std::map<std::string, int> framesOverPaths;
    for (const auto& p : json.at("paths")) {
        const std::pair key{p.at("station").get<std::string>(), p.at("via").get<std::string>()};
        pathFrames[key] = p.at("frames").get<int>();
        framesOverPaths[key.first] += p.at("frames").get<int>();
    }
    EXPECT_EQ(pathFrames, counts.pathFrames);
    // Every station's paths add up to its frames in the station table.
    std::map<std::string, int> stationFrames;
    for (const auto& s : json.at("stations"))
        stationFrames[s.at("call").get<std::string>()] = s.at("frames").get<int>();
    EXPECT_EQ(framesOverPaths, stationFrames);
    EXPECT_EQ(stationFrames, counts.stationFrames);

    std::map<std::string, std::tuple<int, int, int>> digis;
    for (const auto& d : json.at("digipeaters")) {
        const std::string call = d.at("call").get<std::string>();
        digis[call] = {d.at("frames").get<int>(), d.at("repeated").get<int>(),
                       d.at("stations").get<int>()};
    }
    std::map<std::string, std::tuple<int, int, int>> expected;
    for (const auto& [call, d] : counts.digis)
        expected[call] = {d.frames, d.repeated, static_cast<int>(d.stations.size())};
    EXPECT_EQ(digis, expected);
    EXPECT_GE(digis.size(), 2U); // the log does go through digipeaters
}

TEST(PathsProgram, TableAndCsvOfASmallLog) {
    TempDir dir;
    const std::string log = dir.write("p.txt", "Kest log\r\n"
                                               "Fm EF2GH To CQ Via D1*,D2 <UI> >[10:00:00]\r\n"
                                               "Fm =F\xE9LIX To CQ >[10:01:00]\r\n"
                                               "Fm EF2GH To CQ Via D1*,D2 <UI> >[10:02:00]\r\n");
    const auto text = runReport(dir, {"--paths", "--call", "AB1CD", log});
    EXPECT_EQ(text.out, "Station  Path    Frames  First heard  Last heard  Heard from\n"
                        "=F\xC3\xA9LIX   direct       1  10:01:00     10:01:00    =F\xC3\xA9LIX\n"
                        "EF2GH    D1*,D2       2  10:00:00     10:02:00    D1\n"
                        "\n"
                        "Digipeater  Frames  Repeated  Stations\n"
                        "D1               2         2         1\n"
                        "D2               2         0         1\n");
    // The call that would start a formula kept as text; the bytes as the log's.
    const auto csv = runReport(dir, {"--paths", "--csv", "--call", "AB1CD", log});
    EXPECT_EQ(csv.out, "Station,Path,Frames,First heard,Last heard,Heard from\r\n"
                       "'=F\xE9LIX,,1,10:01:00,10:01:00,'=F\xE9LIX\r\n"
                       "EF2GH,\"D1*,D2\",2,10:00:00,10:02:00,D1\r\n");
}

} // namespace
} // namespace tallix::report
