#include "analysis/summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

// ---- logging time ----

struct TimeRow {
    const char* name;
    std::string first;
    std::string last;
    float seconds;
    std::string minutes;
};

const TimeRow timeRows[] = {
    {"half an hour", "10:00:00", "10:30:00", 1800, "30 min"},
    {"one hour", "10:00:00", "11:00:00", 3600, "60 min"},
    {"past midnight", "23:59:00", "00:01:00", 60, "1 min"},
    {"no last time", "10:00:00", "", 60, "1 min"},
    {"no times", "", "", 60, "1 min"},
    {"thirty seconds raised", "10:00:00", "10:00:30", 60, "1 min"},
    {"exactly a minute", "10:00:00", "10:01:00", 60, "1 min"},
    {"just over a minute", "10:00:00", "10:01:01", 61, "1 min"},
    {"fields subtracted one by one", "10:30:50", "11:00:10", 1760, "29 min"},
    {"negative minutes made up by hours", "10:59:00", "11:00:00", 60, "1 min"},
    {"field that does not begin with a number", "10:00:00", "12:xx:05", 7205, "120 min"},
    {"field read up to its first non digit", "10:00:00", "12:3x:00", 7380, "123 min"},
    {"leading blank skipped", " 9:00:00", "10:00:00", 3600, "60 min"},
    {"cut short time", "09:00:00", "10:0", 3600, "60 min"},
    {"just under two minutes", "10:00:00", "10:01:59", 119, "1 min"},
};

class LogTimeTest : public testing::TestWithParam<TimeRow> {};

TEST_P(LogTimeTest, SecondsAndMinutes) {
    const auto& row = GetParam();
    const float seconds = logSeconds(row.first, row.last);
    EXPECT_EQ(seconds, row.seconds);
    EXPECT_EQ(logTimeText(seconds), row.minutes);
}

INSTANTIATE_TEST_SUITE_P(Rows, LogTimeTest, testing::ValuesIn(timeRows), testsupport::RowName());

TEST(LogTimeText, RoundsSecondsBeforeDividing) {
    EXPECT_EQ(logTimeText(119.5F), "2 min"); // 120 s after rounding
    EXPECT_EQ(logTimeText(119.4F), "1 min");
    EXPECT_EQ(logTimeText(120.5F), "2 min"); // a half goes to the even 120
    EXPECT_EQ(logTimeText(179.5F), "3 min");
    EXPECT_EQ(logTimeText(60), "1 min");
}

// ---- received frames per minute ----

struct RateRow {
    const char* name;
    std::int32_t received;
    float seconds;
    double perMinute;
    std::string text;
};

const RateRow rateRows[] = {
    {"three a minute", 90, 1800, 3, "3"},
    {"below one", 29, 1800, 0, "<1"},
    {"none", 0, 60, 0, "<1"},
    {"one minute of log", 5, 60, 5, "5"},
    {"exactly one", 30, 1800, 1, "1"},
    {"whole part only", 7, 120, 3, "3"},
    {"over an odd span", 90, 61, 88, "88"},
};

class RateTest : public testing::TestWithParam<RateRow> {};

TEST_P(RateTest, WholeFramesPerMinute) {
    const auto& row = GetParam();
    const double rate = rxPerMinute(row.received, row.seconds);
    EXPECT_EQ(rate, row.perMinute);
    EXPECT_EQ(rxPerMinuteText(rate), row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, RateTest, testing::ValuesIn(rateRows), testsupport::RowName());

// ---- efficiency ----

struct EfficiencyRow {
    const char* name;
    std::int16_t digipeated;
    std::int32_t transmitted;
    std::string text;
};

const EfficiencyRow efficiencyRows[] = {
    {"seventy", 7, 10, "70 %"},
    {"a third", 1, 3, "33 %"},
    {"none back", 0, 5, "0 %"},
    {"all back", 5, 5, "100 %"},
    {"more back than sent", 8, 5, "100 %"},
    {"none sent", 4, 0, "none digipeated or TX frames absent"},
    {"nothing at all", 0, 0, "none digipeated or TX frames absent"},
    {"double rounding below the exact value", 29, 100, "28 %"},
};

class EfficiencyTest : public testing::TestWithParam<EfficiencyRow> {};

TEST_P(EfficiencyTest, Text) {
    const auto& row = GetParam();
    EXPECT_EQ(efficiencyText(row.digipeated, row.transmitted), row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, EfficiencyTest, testing::ValuesIn(efficiencyRows),
                         testsupport::RowName());

// The quotient is taken in double and then multiplied, so some pairs read one
// below the exact integer percentage.
TEST(Efficiency, FollowsTheDoubleQuotientNotTheIntegerOne) {
    int differing = 0;
    for (int t = 1; t <= 200; ++t) {
        for (int d = 0; d < t; ++d) {
            const double quotient = static_cast<double>(d) / static_cast<double>(t);
            const auto viaDouble = static_cast<long>(std::floor(quotient * 100.0));
            const long viaInteger = d * 100L / t;
            if (viaDouble != viaInteger)
                ++differing;
            SCOPED_TRACE(std::to_string(d) + " of " + std::to_string(t));
            ASSERT_EQ(efficiencyText(static_cast<std::int16_t>(d), t),
                      std::to_string(viaDouble) + " %");
        }
    }
    EXPECT_GT(differing, 0);
}

// ---- size of the processed text ----

TEST(ProcessedSize, BytesUpToTenThousandThenKilobytes) {
    const std::vector<std::pair<std::int32_t, std::string>> rows = {
        {0, "0 Bytes"},   {1, "1 Bytes"},       {10000, "10000 Bytes"}, {10001, "10 kB"},
        {15999, "15 kB"}, {1023999, "1023 kB"}, {2000000, "2000 kB"},   {12345678, "12345 kB"},
    };
    for (const auto& [bytes, text] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(processedSizeText(bytes), text);
    }
}

// ---- the conclusion's captions ----

TEST(Conclude, WritesEveryCaptionInOrder) {
    AnalysisResult result;
    result.lineCount = 240;
    result.rawBytes = 12345;
    result.receivedHeaders = 90;
    result.transmittedFrames = 10;
    result.ownDigipeated = 7;
    result.keptLines = 200;
    result.firstPacketTime = "10:00:00";
    result.lastPacketTime = "10:30:00";
    result.heardCount = 12;
    result.heardListed = 13;

    ConclusionInput input;
    input.sourceDateText = "  2026-12-06 14:05:09 ";
    input.removeTxFrames = true;
    input.processedBytes = 15999;
    const auto captions = conclude(result, input);

    const std::vector<Caption> expected = {
        {"totalLineProcessed", "Total Bytes Processed =12345"},
        {"Label22", "2026-12-06 14:05:09"},
        {"Label24", "15 kB"},
        {"Label14", "207"},
        {"Label8", "7"},
        {"Label12", "240"},
        {"Label16", "90"},
        {"Label18", "10"},
        {"Label4", "12"},
        {"Label26", "10:00:00"},
        {"Label28", "10:30:00"},
        {"Label30", "3"},
        {"Label32", "30 min"},
        {"Label21", "70 %"},
        {"Label34", "13"},
        {"Label7", "Processed Raw File and TX frames removed"},
    };
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(result.processedBytes, 15999);
    EXPECT_EQ(result.logSeconds, 1800);
    EXPECT_EQ(result.rxPerMinute, 3);
    EXPECT_EQ(result.efficiency, "70 %");
}

TEST(Conclude, EmptyRunWithTheOptionOff) {
    AnalysisResult result;
    ConclusionInput input;
    input.removeTxFrames = false;
    const auto captions = conclude(result, input);

    const std::vector<Caption> expected = {
        {"totalLineProcessed", "Total Bytes Processed =0"},
        {"Label22", ""},
        {"Label24", "0 Bytes"},
        {"Label14", "0"},
        {"Label8", "0"},
        {"Label12", "0"},
        {"Label16", "0"},
        {"Label18", "0"},
        {"Label4", "0"},
        {"Label26", ""},
        {"Label28", ""},
        {"Label30", "<1"},
        {"Label32", "1 min"},
        {"Label21", "none digipeated or TX frames absent"},
        {"Label34", "0"},
        {"Label7", "Processed Raw File"},
    };
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(result.logSeconds, 60);
}

} // namespace
} // namespace tallix::analysis
