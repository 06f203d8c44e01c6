#include "analysis/station_stats.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/run.h"
#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

RunOutcome runLines(const std::vector<std::string>& lines, const std::string& ownCall,
                    bool statistics = true) {
    TempDir dir;
    ScriptedControl control;
    RunInput input;
    const std::string content = crlfLines(lines);
    input.currentFile = dir.write("log.txt", content);
    input.ownCall = ownCall;
    input.rawPane = [content] { return RawPane{content, 0}; };
    input.stationStatistics = statistics;
    LineStore store;
    HeardStore heard;
    return runAnalysis(input, store, heard, control);
}

// "CALL frames direct/via first-last [own]", the way the rows below read.
std::string described(const StationRecord& s) {
    std::string out = s.call + " " + std::to_string(s.frames) + " " + std::to_string(s.direct) +
                      "/" + std::to_string(s.viaDigipeater) + " " + s.firstHeard() + "-" +
                      s.lastHeard();
    return s.own ? out + " own" : out;
}

std::vector<std::string> described(const std::vector<StationRecord>& stations) {
    std::vector<std::string> out;
    for (const auto& s : stations)
        out.push_back(described(s));
    return out;
}

// ---- well-formed stamps ----

TEST(StampSeconds, OnlyWellFormedClockTimesCount) {
    const std::vector<std::pair<std::string, std::int32_t>> rows = {
        {"00:00:00", 0},
        {"10:42:13", 38533},
        {"23:59:59", 86399},
        {"24:00:00", -1},
        {"10:60:00", -1},
        {"10:00:60", -1},
        {"1:02:03 ", -1},
        {"10-42-13", -1},
        {"10:42:1", -1},
        {"10:42:13]", -1},
        {"", -1},
        {"ab:cd:ef", -1},
        {" 0:00:00", -1},
        {"+1:00:00", -1},
    };
    for (const auto& [stamp, seconds] : rows)
        EXPECT_EQ(stampSeconds(stamp), seconds) << '"' << stamp << '"';
}

// ---- the record of each station ----

struct StationRow {
    const char* name;
    std::vector<std::string> lines;
    std::string ownCall;
    std::vector<std::string> stations; // described(), in the order first heard
};

const StationRow stationRows[] = {
    {"heard direct and via a digipeater",
     {"Kest log", "Fm EF2GH To CQ >[10:00:00]", "hi", "Fm EF2GH To CQ Via DIGI* >[10:05:00]",
      "hi again", "Fm EF2GH To CQ Via DIGI* >[10:07:30]"},
     "AB1CD",
     {"EF2GH 3 1/2 10:00:00-10:07:30"}},
    {"a star anywhere in the header counts as via",
     {"Kest log", "Fm EF2GH To CQ Via D1,D2* >[10:00:00]", "Fm ZZ9ZZ To CQ >[10:00:01] <*>"},
     "AB1CD",
     {"EF2GH 1 0/1 10:00:00-10:00:00", "ZZ9ZZ 1 0/1 10:00:01-10:00:01"}},
    {"headers without a stamp leave first and last alone",
     {"Kest log", "Fm EF2GH To CQ", "Fm EF2GH To CQ >[10:00:00]", "Fm EF2GH To CQ",
      "Fm EF2GH To CQ >[10:02:00]", "Fm EF2GH To CQ", "Fm ZZ9ZZ To CQ"},
     "AB1CD",
     {"EF2GH 5 5/0 10:00:00-10:02:00", "ZZ9ZZ 1 1/0 -"}},
    {"malformed stamps do not count",
     {"Kest log", "Fm EF2GH To CQ >[10:00:00]", "Fm EF2GH To CQ >[25:00:00]",
      "Fm EF2GH To CQ >[10:0", "Fm EF2GH To CQ > [10:09:00]", "Fm ZZ9ZZ To CQ >[9:00:00]"},
     "AB1CD",
     {"EF2GH 4 4/0 10:00:00-10:00:00", "ZZ9ZZ 1 1/0 -"}},
    {"a stamp on a data line is not a header's",
     {"Kest log", "Fm EF2GH To CQ", "data >[10:00:00]", "Fm EF2GH To CQ >[10:01:00]"},
     "AB1CD",
     {"EF2GH 2 2/0 10:01:00-10:01:00"}},
    {"midnight passed",
     {"Kest log", "Fm EF2GH To CQ >[23:59:30]", "Fm ZZ9ZZ To CQ >[00:00:10]",
      "Fm EF2GH To CQ >[00:01:00]"},
     "AB1CD",
     {"EF2GH 2 2/0 23:59:30-00:01:00", "ZZ9ZZ 1 1/0 00:00:10-00:00:10"}},
    {"a stamp that goes back in time is last when heard last",
     {"Kest log", "Fm EF2GH To CQ >[10:05:00]", "Fm EF2GH To CQ >[10:01:00]"},
     "AB1CD",
     {"EF2GH 2 2/0 10:05:00-10:01:00"}},
    {"own frames as sent and as digipeated",
     {"Kest log", "Fm AB1CD To CQ Via DIGI >[10:00:00]", "hello",
      "Fm AB1CD To CQ Via DIGI* >[10:00:02]", "Fm AB1CD-1 To CQ >[10:00:04]"},
     "AB1CD",
     {"AB1CD 2 1/1 10:00:00-10:00:02 own", "AB1CD-1 1 1/0 10:00:04-10:00:04"}},
    {"own call with a trailing blank is cut like the header",
     {"Kest log", "Fm AB1CD  To CQ >[10:00:00]", "x"},
     "AB1CD ",
     {"AB1CD 1 1/0 10:00:00-10:00:00 own"}},
    {"no own call, no own station",
     {"Kest log", "Fm  To CQ >[10:00:00]", "Fm AB1CD To CQ"},
     "",
     {"AB1CD 1 1/0 -"}},
    {"calls cut as the heard list cuts them",
     {"Kest log", "Fm AB1CD>QRST,DIGI >[10:00:00]", "fm ab1cd to cq", "FM ABCDEFGHIJKLMN To CQ",
      "Fm", "Fm  EF2GH To CQ", "XYZEF2GH To CQ"},
     "AB1CD",
     {"AB1CD>QRST, 1 1/0 10:00:00-10:00:00", "ab1cd 1 1/0 -", "ABCDEFGHIJK 1 1/0 -"}},
    {"no headers at all", {"Kest log", "hello"}, "AB1CD", {}},
};

class StationRecordTest : public testing::TestWithParam<StationRow> {};

TEST_P(StationRecordTest, CountsEveryHeaderOfTheStation) {
    const StationRow& row = GetParam();
    const RunOutcome out = runLines(row.lines, row.ownCall);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(described(out.stations), row.stations);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationRecordTest, testing::ValuesIn(stationRows),
                         testsupport::RowName());

TEST(StationRecords, MidnightKeepsTheTimeLineRunningForSorting) {
    const RunOutcome out = runLines({"Kest log", "Fm EF2GH To CQ >[23:59:30]",
                                     "Fm ZZ9ZZ To CQ >[00:00:10]", "Fm EF2GH To CQ >[00:01:00]"},
                                    "AB1CD");
    ASSERT_EQ(out.stations.size(), 2U);
    EXPECT_EQ(out.stations[0].firstSecond, 23 * 3600 + 59 * 60 + 30);
    EXPECT_EQ(out.stations[0].lastSecond, SecondsPerDay + 60);
    EXPECT_EQ(out.stations[1].firstSecond, SecondsPerDay + 10);
    // The Info frame keeps its own reading of the same stamps.
    EXPECT_EQ(testsupport::captionOf(out, "Label32"), "1 min");
}

TEST(StationRecords, KeepEveryStationWhenTheHeardStoreIsFull) {
    // 700 calls, each heard twice: the heard store holds 500 of them, the
    // statistics all 700.
    std::vector<std::string> lines = {"Kest log"};
    char buffer[128];
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 700; ++i) {
            std::snprintf(buffer, sizeof buffer, "Fm ST%03d To CQ >[%02d:%02d:%02d]", i,
                          10 + round * 2, i / 60, i % 60);
            lines.emplace_back(buffer);
        }
    }
    const RunOutcome out = runLines(lines, "AB1CD");
    EXPECT_EQ(out.result.heardCount, 500);
    ASSERT_EQ(out.stations.size(), 700U);
    for (std::size_t i = 0; i < out.stations.size(); i += 99) {
        std::snprintf(buffer, sizeof buffer, "ST%03zu 2 2/0 10:%02zu:%02zu-12:%02zu:%02zu", i,
                      i / 60, i % 60, i / 60, i % 60);
        EXPECT_EQ(described(out.stations[i]), buffer);
    }
}

// ---- the activity per minute ----

struct ActivityRow {
    const char* name;
    std::vector<std::string> lines;
    std::string firstMinute;                          // "" for an empty series
    std::vector<std::array<std::int32_t, 3>> minutes; // received, transmitted, digipeated
};

const ActivityRow activityRows[] = {
    {"frames without a stamp go to the last stamp's minute",
     {"Kest log", "Fm EF2GH To CQ >[10:00:59]", "Fm AB1CD To CQ", "hello",
      "Fm AB1CD To CQ Via D* >[10:02:00]", "Fm ZZ9ZZ To CQ"},
     "10:00",
     {{1, 1, 0}, {0, 0, 0}, {2, 0, 1}}},
    {"frames before the first stamp are not placed",
     {"Kest log", "Fm EF2GH To CQ", "Fm AB1CD To CQ", "x", "Fm ZZ9ZZ To CQ >[10:00:00]"},
     "10:00",
     {{1, 0, 0}}},
    {"only received headers that begin Fm count as received",
     {"Kest log", "fm ef2gh To CQ >[10:00:00]", "FM EF2GH To CQ", "Fm EF2GH To CQ"},
     "10:00",
     {{1, 0, 0}}},
    {"the series runs on past midnight",
     {"Kest log", "Fm EF2GH To CQ >[23:59:00]", "Fm AB1CD To CQ >[00:01:30]", "x",
      "Fm EF2GH To CQ"},
     "23:59",
     {{1, 0, 0}, {0, 0, 0}, {1, 1, 0}}},
    {"an earlier stamp within twelve hours is the same day",
     {"Kest log", "Fm EF2GH To CQ >[10:02:00]", "Fm EF2GH To CQ >[10:00:00]",
      "Fm EF2GH To CQ >[10:01:00]"},
     "10:00",
     {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}}},
    {"a malformed stamp keeps the minute before it",
     {"Kest log", "Fm EF2GH To CQ >[10:00:00]", "Fm EF2GH To CQ >[10:05:xx]"},
     "10:00",
     {{2, 0, 0}}},
    {"no stamp at all", {"Kest log", "Fm EF2GH To CQ", "Fm AB1CD To CQ"}, "", {}},
};

class StationActivityTest : public testing::TestWithParam<ActivityRow> {};

TEST_P(StationActivityTest, PlacesFramesByMinute) {
    const ActivityRow& row = GetParam();
    const RunOutcome out = runLines(row.lines, "AB1CD");
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    std::vector<std::array<std::int32_t, 3>> minutes;
    for (const ActivityMinute& m : out.activity.minutes)
        minutes.push_back({m.received, m.transmitted, m.digipeated});
    EXPECT_EQ(minutes, row.minutes);
    if (!row.firstMinute.empty()) {
        EXPECT_EQ(minuteText(out.activity.firstMinute), row.firstMinute);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, StationActivityTest, testing::ValuesIn(activityRows),
                         testsupport::RowName());

TEST(StationActivity, AddsUpToTheFiguresAndChangesNone) {
    // A log that runs past midnight several times, its first header stamped
    // so that every frame is placed.
    std::vector<std::string> lines = {"Kest log", "Fm ZZ0ZZ To CQ >[22:00:00]"};
    char buffer[80];
    for (int i = 0; i < 3000; ++i) {
        const int second = (22 * 3600 + i * 97) % 86400;
        std::snprintf(buffer, sizeof buffer, "Fm %s To CQ%s%s >[%02d:%02d:%02d]",
                      i % 7 == 0 ? "AB1CD" : (i % 3 ? "EF2GH" : "ZZ9ZZ"),
                      i % 11 == 0 ? " Via D*" : "", i % 13 == 0 ? "" : " x", second / 3600,
                      second / 60 % 60, second % 60);
        lines.emplace_back(i % 17 == 0 ? std::string("Fm EF2GH To CQ") : std::string(buffer));
        lines.emplace_back("data");
    }
    const RunOutcome with = runLines(lines, "AB1CD");
    const RunOutcome without = runLines(lines, "AB1CD", false);
    ActivityMinute sum;
    for (const ActivityMinute& m : with.activity.minutes) {
        sum.received += m.received;
        sum.transmitted += m.transmitted;
        sum.digipeated += m.digipeated;
    }
    EXPECT_EQ(sum.received, with.result.receivedHeaders);
    EXPECT_EQ(sum.transmitted, with.result.transmittedFrames);
    EXPECT_EQ(sum.digipeated, with.result.ownDigipeated);
    EXPECT_GT(with.activity.minutes.size(), 2U * 60U); // from 22:00 past midnight

    EXPECT_TRUE(without.stations.empty());
    EXPECT_TRUE(without.activity.empty());
    EXPECT_EQ(with.captions, without.captions);
    EXPECT_EQ(with.heard, without.heard);
    EXPECT_EQ(with.processedText, without.processedText);
}

// ---- the table's order ----

StationRecord station(std::string call, std::int32_t frames, std::int32_t via, std::int64_t first,
                      std::int64_t last, bool own = false) {
    return {std::move(call), frames, frames - via, via, first, last, own};
}

struct StationSortRow {
    const char* name;
    StationColumn column;
    bool descending;
    std::vector<std::string> calls;
};

const StationSortRow stationSortRows[] = {
    {"newest last heard first", StationColumn::LastHeard, true, {"cc3", "AA1", "DD4", "bb2"}},
    {"oldest last heard first, unstamped still last",
     StationColumn::LastHeard,
     false,
     {"DD4", "AA1", "cc3", "bb2"}},
    {"first heard", StationColumn::FirstHeard, false, {"cc3", "DD4", "AA1", "bb2"}},
    {"calls without regard to case", StationColumn::Call, false, {"AA1", "bb2", "cc3", "DD4"}},
    {"calls backwards", StationColumn::Call, true, {"DD4", "cc3", "bb2", "AA1"}},
    {"most frames first, ties by call", StationColumn::Frames, true, {"AA1", "cc3", "DD4", "bb2"}},
    {"fewest frames first, ties by call",
     StationColumn::Frames,
     false,
     {"bb2", "DD4", "AA1", "cc3"}},
    {"most via digipeater first", StationColumn::ViaDigipeater, true, {"cc3", "AA1", "bb2", "DD4"}},
    {"most direct first, ties by call", StationColumn::Direct, true, {"AA1", "cc3", "DD4", "bb2"}},
    {"own station first", StationColumn::Own, true, {"DD4", "AA1", "bb2", "cc3"}},
};

class StationSortTest : public testing::TestWithParam<StationSortRow> {};

TEST_P(StationSortTest, OrdersByTheColumn) {
    std::vector<StationRecord> stations = {
        station("DD4", 2, 0, 90, 300, true), station("cc3", 5, 3, 50, SecondsPerDay + 10),
        station("bb2", 1, 0, -1, -1), station("AA1", 5, 1, 100, 500)};
    sortStations(stations, GetParam().column, GetParam().descending);
    std::vector<std::string> calls;
    for (const auto& s : stations)
        calls.push_back(s.call);
    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationSortTest, testing::ValuesIn(stationSortRows),
                         testsupport::RowName());

// ---- texts ----

TEST(StationSummary, ReadsAsATip) {
    const std::vector<std::pair<StationRecord, std::string>> rows = {
        {station("EF2GH", 12, 4, 36000, 38533),
         "12 frames, first 10:00:00, last 10:42:13, direct and via digipeater"},
        {station("EF2GH", 1, 0, -1, -1), "1 frame, no time stamp, direct"},
        {station("EF2GH", 2, 2, 86399, SecondsPerDay + 5),
         "2 frames, first 23:59:59, last 00:00:05, via digipeater"},
        {station("AB1CD", 3, 0, 0, 0, true),
         "3 frames, first 00:00:00, last 00:00:00, direct, own call"},
    };
    for (const auto& [record, text] : rows)
        EXPECT_EQ(stationSummary(record), text);
}

TEST(StationCsv, QuotesOnlyFieldsThatNeedIt) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"AB1CD", "AB1CD"},
        {"", ""},
        {"AB1CD>QRST,", "\"AB1CD>QRST,\""},
        {"A\"B", "\"A\"\"B\""},
        {"\"", "\"\"\"\""},
        {"A\rB", "\"A\rB\""},
        {"A\nB", "\"A\nB\""},
        {"A;B C\t", "A;B C\t"},
        {"F\xE9LIX", "F\xE9LIX"},
    };
    for (const auto& [field, quoted] : rows)
        EXPECT_EQ(csvField(field), quoted) << field;
}

TEST(StationCsv, HeaderRowThenOneRowPerStation) {
    const std::vector<StationRecord> stations = {station("A,\"B", 3, 1, 36000, 36060, false),
                                                 station("AB1CD", 1, 0, -1, -1, true)};
    EXPECT_EQ(stationsCsv(stations),
              "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
              "\"A,\"\"B\",3,10:00:00,10:01:00,2,1,no\r\n"
              "AB1CD,1,,,1,0,yes\r\n");
}

// ---- chart axes ----

ActivitySeries seriesOver(std::int64_t firstMinute, std::size_t minutes) {
    ActivitySeries s;
    s.firstMinute = firstMinute;
    s.minutes.resize(minutes);
    return s;
}

std::vector<std::string> labels(const std::vector<AxisTick>& ticks) {
    std::vector<std::string> out;
    for (const auto& t : ticks)
        out.push_back(t.label);
    return out;
}

TEST(ActivityChartAxes, TimeMarksOnRoundClockTimes) {
    EXPECT_EQ(labels(timeTicks(seriesOver(10 * 60 + 3, 40), 6)),
              (std::vector<std::string>{"10:10", "10:20", "10:30", "10:40"}));
    EXPECT_EQ(labels(timeTicks(seriesOver(23 * 60 + 50, 21), 5)),
              (std::vector<std::string>{"23:50", "23:55", "00:00", "00:05", "00:10"}));
    EXPECT_EQ(labels(timeTicks(seriesOver(10 * 60 + 42, 1), 6)),
              (std::vector<std::string>{"10:42"}));
    EXPECT_EQ(labels(timeTicks(seriesOver(0, 1440 * 9), 4)),
              (std::vector<std::string>{"00:00", "00:00", "00:00"}));
    EXPECT_TRUE(timeTicks(seriesOver(0, 0), 6).empty());
    // A mark never lies outside the series.
    const ActivitySeries odd = seriesOver(7 * 60 + 59, 123);
    for (const AxisTick& t : timeTicks(odd, 7)) {
        EXPECT_GE(t.value, odd.firstMinute);
        EXPECT_LT(t.value, odd.firstMinute + 123);
    }
    EXPECT_LE(timeTicks(odd, 7).size(), 7U);
}

TEST(ActivityChartAxes, ValueAxisInRoundSteps) {
    const std::vector<std::tuple<std::int32_t, std::int32_t, std::vector<std::string>>> rows = {
        {0, 1, {"0", "1"}},
        {1, 1, {"0", "1"}},
        {7, 8, {"0", "2", "4", "6", "8"}},
        {10, 10, {"0", "2", "4", "6", "8", "10"}},
        {120, 150, {"0", "50", "100", "150"}},
        {4001, 5000, {"0", "1000", "2000", "3000", "4000", "5000"}},
    };
    for (const auto& [peak, top, marks] : rows) {
        const ValueAxis axis = valueAxis(peak, 5);
        EXPECT_EQ(axis.top, top) << peak;
        EXPECT_EQ(labels(axis.ticks), marks) << peak;
    }
}

} // namespace
} // namespace tallix::analysis
