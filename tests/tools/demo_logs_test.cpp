#include "demo/demo_logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "analysis/intake.h"
#include "analysis/line_store.h"
#include "files/raw_text.h"
#include "files/rtf_reader.h"
#include "temp_dir.h"

namespace tallix::demo {
namespace {

using testsupport::readBytes;

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
