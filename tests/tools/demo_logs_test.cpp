#include "demo/demo_logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/heard_list.h"
#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "analysis/station_stats.h"
#include "base/line_cutting.h"
#include "files/raw_text.h"
#include "files/rtf_reader.h"
#include "temp_dir.h"

namespace tallix::demo {
namespace {

using testsupport::readBytes;

// The frame headers, port prefixes cut off as the program cuts them.
std::vector<std::string_view> headers(std::string_view bytes) {
    std::vector<std::string_view> out;
    for (const std::string_view line : base::splitLines(bytes))
        if (line.substr(analysis::preprocessCut(line)).starts_with("Fm "))
            out.push_back(line.substr(analysis::preprocessCut(line)));
    return out;
}

std::size_t distinctCalls(std::string_view bytes) {
    std::set<std::string_view> calls;
    for (const std::string_view h : headers(bytes))
        calls.insert(analysis::cutHeardCall(h));
    return calls.size();
}

TEST(GenerateLog, HasTheRequestedShape) {
    LogOptions monitor{.seed = 7, .lines = 3000, .ownCall = "AB1CD-7", .reportHeader = false};
    monitor.colonFm = monitor.crossMidnight = true;
    monitor.finalLineBreak = false;
    for (const LogOptions& o : {LogOptions{}, monitor, LogOptions{.lines = 12}}) {
        SCOPED_TRACE(o.lines);
        const std::string bytes = generateLog(o);
        const auto lines = base::splitLines(bytes);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(o.lines));
        EXPECT_EQ(bytes.ends_with("\r\n"), o.finalLineBreak);
        EXPECT_TRUE(lines[0].starts_with(o.reportHeader ? "Report Kest" : "Kest")) << lines[0];
        // Port prefixes only when asked for.
        const auto plain = std::count_if(lines.begin(), lines.end(),
                                         [](std::string_view l) { return l.starts_with("Fm "); });
        EXPECT_EQ(plain == 0, o.colonFm);
        EXPECT_EQ(headers(bytes).size() > static_cast<std::size_t>(plain), o.colonFm);
        // Well-formed stamps running forward, past midnight once only when
        // asked to; own frames as transmitted, without "*", and as heard back
        // through the digipeater, with it.
        int wraps = 0, previous = -1, transmitted = 0, digipeated = 0;
        for (const std::string_view h : headers(bytes)) {
            if (const std::size_t at = h.find(">["); at != std::string_view::npos) {
                const int second = analysis::stampSeconds(h.substr(at + 2, 8));
                ASSERT_GE(second, 0) << h;
                wraps += second < previous ? 1 : 0;
                previous = second;
            }
            if (h.starts_with("Fm " + o.ownCall + " To "))
                ++(h.find('*') == std::string_view::npos ? transmitted : digipeated);
        }
        EXPECT_EQ(wraps, o.crossMidnight ? 1 : 0);
        EXPECT_GT(transmitted, 0);
        EXPECT_GT(digipeated, 0);
    }
}

TEST(GenerateLog, SameSeedSameBytesOtherSeedOtherBytes) {
    const std::string log = generateLog({.seed = 3, .lines = 2000});
    EXPECT_EQ(generateLog({.seed = 3, .lines = 2000}), log);
    EXPECT_NE(generateLog({.seed = 4, .lines = 2000}), log);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    const std::string rtf = generateRtfReport(5, "AB1CD");
    EXPECT_EQ(generateRtfReport(5, "AB1CD"), rtf);
    ASSERT_TRUE(files::looksLikeRtf(rtf));
    EXPECT_NE(files::readRtf(rtf).plainText().find("Fm AB1CD To"), std::string::npos) << rtf;
}

TEST(DemoFolder, KestIniLogsAroundTheLimitsAndARewriteThatSparesOtherFiles) {
    testsupport::TempDir dir;
    const auto written = writeDemoKestFolder(dir.dir(), 11);
    const std::string ini = readBytes(dir.path("kest.ini"));
    const auto iniLines = base::splitLines(ini);
    ASSERT_GE(iniLines.size(), 4U);
    EXPECT_TRUE(iniLines[0].starts_with(";Kest") && iniLines[3] == DemoOwnCall) << ini;

    for (const auto& [name, lines] :
         {std::pair{"Logs/big65000.log", 65000}, std::pair{"Logs/toolong65001.log", 65001}}) {
        analysis::LineStore store;
        const auto failure = analysis::loadLines(dir.path(name), store);
        EXPECT_EQ(store.count(), lines) << name;
        EXPECT_EQ(failure == analysis::FailureLineLimit, lines > analysis::MaxLines) << name;
    }
    // More calls than the heard list's 500 slots.
    for (const char* name : {"Logs/big65000.log", "Logs/many-stations.log"})
        EXPECT_GT(distinctCalls(readBytes(dir.path(name))), 500U) << name;

    for (const auto& path : written)
        EXPECT_TRUE(path.extension() != ".log" ||
                    analysis::validateLogFile(path.string()) != analysis::FileKind::Unrecognised)
            << path;

    // Written again: its own files as they were, the user's left alone.
    const std::string big = readBytes(dir.path("Logs/big65000.log"));
    dir.write("Logs/big65000.log", "scribbled over");
    dir.write("Logs/mine.log", "my own log");
    EXPECT_EQ(writeDemoKestFolder(dir.dir(), 11), written);
    EXPECT_EQ(readBytes(dir.path("Logs/big65000.log")), big);
    EXPECT_EQ(readBytes(dir.path("Logs/mine.log")), "my own log");
}

} // namespace
} // namespace tallix::demo
