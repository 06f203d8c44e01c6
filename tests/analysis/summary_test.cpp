#include "analysis/summary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "row_name.h"
#include "scripted_run.h" // how figures print when a comparison fails

namespace tallix::analysis {
namespace {

struct TimeRow : testsupport::NamedRow {
    std::string first, last;
    float seconds;
    std::string minutes;
};

const TimeRow timeRows[] = {
    {"half an hour", "10:00:00", "10:30:00", 1800, "30 min"},
    {"past midnight has no day wrap", "23:59:00", "00:01:00", 60, "1 min"},
    {"no last time", "10:00:00", "", 60, "1 min"},
    {"thirty seconds raised to a minute", "10:00:00", "10:00:30", 60, "1 min"},
    {"minutes dropped, not rounded", "10:00:00", "10:01:59", 119, "1 min"},
    {"field read up to its first non digit", "10:00:00", "12:3x:00", 7380, "123 min"},
};

class LogTimeTest : public testing::TestWithParam<TimeRow> {};

TEST_P(LogTimeTest, SecondsAndMinutes) {
    const auto& row = GetParam();
    const float seconds = logSeconds(row.first, row.last);
    EXPECT_EQ(seconds, row.seconds);
    EXPECT_EQ(logTimeText(seconds), row.minutes);
}

INSTANTIATE_TEST_SUITE_P(Rows, LogTimeTest, testing::ValuesIn(timeRows), testsupport::RowName());

// Log time rounds the seconds before dividing; efficiency divides first and
// multiplies after, in double: one below the exact 29.
TEST(Figures, Texts) {
    const std::pair<std::string, const char*> rows[] = {
        {logTimeText(119.5F), "2 min"},
        {logTimeText(119.4F), "1 min"},
        {rxPerMinuteText(rxPerMinute(29, 1800)), "<1"},
        {rxPerMinuteText(rxPerMinute(30, 1800)), "1"},
        {rxPerMinuteText(rxPerMinute(90, 61)), "88"},
        {efficiencyText(8, 5), "100 %"},
        {efficiencyText(4, 0), "none digipeated or TX frames absent"},
        {efficiencyText(29, 100), "28 %"},
        {processedSizeText(10000), "10000 Bytes"},
        {processedSizeText(10001), "10 kB"},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

// Every figure gets its own value's text, so that two figures swapped show.
TEST(Conclude, GivesEveryFigureItsText) {
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
    const ConclusionInput input{.sourceDateText = "  2026-12-06 14:05:09 ",
                                .removeTxFrames = false,
                                .processedBytes = 15999};
    const SummaryFigures expected{.totalBytesProcessed = "Total Bytes Processed =12345",
                                  .fileDate = "2026-12-06 14:05:09",
                                  .processedSize = "15 kB",
                                  .totalLines = "207",
                                  .ownDigipeated = "7",
                                  .lineCount = "240",
                                  .receivedHeaders = "90",
                                  .transmittedFrames = "10",
                                  .heardCount = "12",
                                  .firstPacketTime = "10:00:00",
                                  .lastPacketTime = "10:30:00",
                                  .rxPerMinute = "3",
                                  .logTime = "30 min",
                                  .efficiency = "70 %",
                                  .heardListed = "13",
                                  .processedCaption = "Processed Raw File"};
    EXPECT_EQ(conclude(result, input), expected);
}

} // namespace
} // namespace tallix::analysis
