#include "analysis/station_stats.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/run.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"
#include "text_lines.h"

namespace tallix::analysis {
namespace {

// One run over "Kest log" and the lines.
RunOutcome runLines(std::vector<std::string> lines, const std::string& ownCall = "AB1CD",
                    bool statistics = true) {
    lines.insert(lines.begin(), "Kest log");
    testsupport::TempDir dir;
    testsupport::ScriptedControl control;
    RunInput input = testsupport::inputOver(dir, "log.txt", testsupport::crlfLines(lines), ownCall);
    input.stationStatistics = statistics;
    return testsupport::runFresh(input, control);
}

// Each station as "CALL frames direct/via first-last [own]".
std::vector<std::string> described(const std::vector<StationRecord>& stations) {
    std::vector<std::string> out;
    for (const auto& s : stations)
        out.push_back(s.call + " " + std::to_string(s.frames) + " " + std::to_string(s.direct) +
                      "/" + std::to_string(s.viaDigipeater) + " " + s.firstHeard() + "-" +
                      s.lastHeard() + (s.own ? " own" : ""));
    return out;
}

// "HH:MM received/transmitted/digipeated ..." from the first minute on.
std::string described(const ActivitySeries& series) {
    std::string out = series.empty() ? "" : minuteText(series.firstMinute);
    for (const ActivityMinute& m : series.minutes)
        out += " " + std::to_string(m.received) + "/" + std::to_string(m.transmitted) + "/" +
               std::to_string(m.digipeated);
    return out;
}

struct StationRow : testsupport::NamedRow {
    std::vector<std::string> lines;
    std::vector<std::string> stations; // in the order first heard
    std::string activity;
    std::string ownCall = "AB1CD";
};
const StationRow stationRows[] = {
    {"direct and via a digipeater, frames placed in the last stamp's minute",
     {"Fm EF2GH To CQ >[10:00:59]", "Fm AB1CD To CQ", "hello", "Fm AB1CD To CQ Via D* >[10:02:00]",
      "Fm EF2GH To CQ Via DIGI* >[10:02:30]", "Fm ZZ9ZZ To CQ >[10:05:xx]"},
     {"EF2GH 2 1/1 10:00:59-10:02:30", "AB1CD 2 1/1 10:02:00-10:02:00 own", "ZZ9ZZ 1 1/0 -"},
     "10:00 1/1/0 0/0/0 3/0/1"},
    // The first line is EF2GH's short header line, the others its long ones.
    {"missing, malformed and data-line stamps, frames before the first stamp unplaced",
     {"Fm EF2GH To CQ", "data >[09:59:00]", "Fm EF2GH To CQ >[10:00:00]",
      "Fm EF2GH To CQ >[25:00:00]", "Fm EF2GH To CQ >[10:0", "Fm ZZ9ZZ To CQ <*>"},
     {"EF2GH 4 4/0 10:00:00-10:00:00", "ZZ9ZZ 1 0/1 -"},
     "10:00 4/0/0"},
    {"midnight passed, and a stamp back in time within the day",
     {"Fm EF2GH To CQ >[23:59:30]", "Fm ZZ9ZZ To CQ >[00:00:10]", "Fm EF2GH To CQ >[00:01:00]",
      "Fm QQ1QQ To CQ >[00:02:00]", "Fm QQ1QQ To CQ >[00:01:50]"},
     {"EF2GH 2 2/0 23:59:30-00:01:00", "ZZ9ZZ 1 1/0 00:00:10-00:00:10",
      "QQ1QQ 2 2/0 00:02:00-00:01:50"},
     "23:59 1/0/0 1/0/0 2/0/0 1/0/0"},
    {"own call with a trailing blank is cut like the header, no stamp at all",
     {"Fm AB1CD  To CQ", "x", "Fm AB1CD-1 To CQ"},
     {"AB1CD 1 1/0 - own", "AB1CD-1 1 1/0 -"},
     "",
     "AB1CD "},
    {"calls cut as the heard list cuts them, only Fm is received, an empty own call",
     {"Fm AB1CD>QRST,DIGI >[10:00:00]", "fm ab1cd to cq", "FM ABCDEFGHIJKLMN To CQ", "Fm",
      "Fm  To CQ"},
     {"AB1CD>QRST, 1 1/0 10:00:00-10:00:00", "ab1cd 1 1/0 -", "ABCDEFGHIJK 1 1/0 -"},
     "10:00 1/1/0", // "Fm  To CQ" is the empty own call's frame
     ""},
};

class StationRecordTest : public testing::TestWithParam<StationRow> {};

TEST_P(StationRecordTest, CountsEveryHeaderOfTheStationAndPlacesItsMinute) {
    const RunOutcome out = runLines(GetParam().lines, GetParam().ownCall);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(described(out.stations), GetParam().stations);
    EXPECT_EQ(described(out.activity), GetParam().activity);
}

INSTANTIATE_TEST_SUITE_P(Rows, StationRecordTest, testing::ValuesIn(stationRows),
                         testsupport::RowName());

TEST(StationRecords, KeepEveryStationWhenTheHeardStoreIsFull) {
    // 700 calls, each heard twice: the heard store keeps 500 of them, and lists
    // the other 200 anew each time.
    std::vector<std::string> lines;
    for (int i = 0; i < 1400; ++i)
        lines.push_back("Fm ST" + std::to_string(1000 + i % 700) + " To CQ");
    const RunOutcome out = runLines(lines);
    EXPECT_EQ(out.figures.heardCount, "500");
    EXPECT_EQ(out.figures.heardListed, "900");
    ASSERT_EQ(out.stations.size(), 700U);
    EXPECT_EQ(described(out.stations)[699], "ST1699 2 2/0 -");
}

StationRecord station(std::string call, std::int32_t frames, std::int32_t via, std::int64_t first,
                      std::int64_t last, bool own = false) {
    return {std::move(call), frames, frames - via, via, first, last, own};
}

// Sorting by call without regard to case and by frames is checked through the
// window's header clicks.
TEST(SortStations, OrdersByTheColumnTiesByCall) {
    using C = StationColumn;
    for (const auto& [name, column, descending, calls] :
         std::vector<std::tuple<const char*, C, bool, std::string>>{
             {"newest last heard first", C::LastHeard, true, "cc3 AA1 DD4 bb2 "},
             {"oldest last heard first, unstamped still last", C::LastHeard, false,
              "DD4 AA1 cc3 bb2 "},
             {"own station first", C::Own, true, "DD4 AA1 bb2 cc3 "}}) {
        std::vector<StationRecord> stations = {
            station("DD4", 2, 0, 90, 300, true), station("cc3", 5, 3, 50, SecondsPerDay + 10),
            station("bb2", 1, 0, -1, -1), station("AA1", 5, 1, 100, 500)};
        sortStations(stations, column, descending);
        std::string order;
        for (const auto& s : stations)
            order += s.call + " ";
        EXPECT_EQ(order, calls) << name;
    }
}

TEST(StationTexts, Tip) {
    EXPECT_EQ(stationSummary(station("EF2GH", 1, 0, -1, -1)), "1 frame, no time stamp, direct");
    EXPECT_EQ(stationSummary(station("EF2GH", 2, 2, 86399, SecondsPerDay + 5, true)),
              "2 frames, first 23:59:59, last 00:00:05, via digipeater, own call");
    // A station never heard direct names the digipeaters it was heard from.
    const RunOutcome out =
        runLines({"Fm EF2GH To CQ Via D1* >[10:00:00]", "Fm EF2GH To CQ Via D1*,D2* <UI>",
                  "Fm EF2GH To CQ Via D2* <UI>"});
    EXPECT_EQ(stationSummary(out.stations.at(0)),
              "3 frames, first 10:00:00, last 10:00:00, via digipeater, heard via D2* or D1*");
}

// Quotes and breaks are quoted; a field a spreadsheet would run as a formula
// is kept text by an apostrophe, the same characters further in change nothing.
TEST(StationTexts, CsvField) {
    const std::pair<const char*, const char*> rows[] = {
        {"A\nB", "\"A\nB\""}, {"-2+3", "'-2+3"}, {"=A,B", "\"'=A,B\""}, {"AB-1=2", "AB-1=2"}};
    for (const auto& [field, expected] : rows)
        EXPECT_EQ(csvField(field), expected) << field;
}

std::string labels(const std::vector<AxisTick>& ticks) {
    std::string out;
    for (const auto& t : ticks)
        out += t.label + " ";
    return out;
}

TEST(ActivityChartAxes, TimeMarksOnRoundClockTimesValuesInRoundSteps) {
    const std::vector<ActivityMinute> forty(40);
    EXPECT_EQ(labels(timeTicks({1410, forty}, 5)), "23:30 23:40 23:50 00:00 ");
    EXPECT_EQ(labels(timeTicks({}, 6)), "");
    EXPECT_EQ(labels(valueAxis(0, 5).ticks), "0 1 ");
    EXPECT_EQ(labels(valueAxis(4001, 5).ticks), "0 1000 2000 3000 4000 5000 ");
    EXPECT_EQ(valueAxis(7, 5).top, 8);
}

// With more minutes than columns, a column's worth of minutes at the highest
// of the figure asked for.
TEST(ActivityChartSteps, AColumnsWorthAtItsHighest) {
    ActivitySeries s{600, {{4, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {7, 3, 0}}};
    EXPECT_EQ(chartSteps(s, &ActivityMinute::received, 2),
              (std::vector<ChartStep>{{0, 2, 4}, {2, 5, 7}}));
    EXPECT_EQ(chartSteps(s, &ActivityMinute::transmitted, 1), (std::vector<ChartStep>{{0, 5, 3}}));
}

// The paths and the digipeaters, each as one line: "STATION [via] frames
// first-last <- heard from" and "CALL frames/repeated/stations".
struct PathRow : testsupport::NamedRow {
    std::vector<std::string> lines;
    std::vector<std::string> paths;
    std::vector<std::string> digipeaters;
};
const PathRow pathRows[] = {
    {"stars in the middle: the last starred one",
     {"Fm EF2GH To CQ Via D1*,D2*,D3 <UI>"},
     {"EF2GH [D1*,D2*,D3] 1 - <- D2"},
     {"D1 1/1/1", "D2 1/1/1", "D3 1/0/1"}},
    {"a path ends at < or > without a blank",
     {"Fm EF2GH To CQ Via D1*<UI>", "Fm ZZ9ZZ To CQ Via D2>[10:00:00]"},
     {"EF2GH [D1*] 1 - <- D1", "ZZ9ZZ [D2] 1 10:00:00-10:00:00 <- ZZ9ZZ"},
     {"D1 1/1/1", "D2 1/0/1"}},
    {"lower-case via is no path", {"Fm EF2GH To CQ via D1* <UI>"}, {"EF2GH [] 1 - <- EF2GH"}, {}},
    {"an empty call gets no record", {"Fm  To CQ Via D1* <UI>"}, {}, {}},
    {"a digipeater twice in one path counts the frame once, by station",
     {"Fm EF2GH To CQ Via D1,D1* <UI>", "Fm AB9AA To CQ Via D1 <UI>", "Fm AB9AA To CQ"},
     {"AB9AA [] 1 - <- AB9AA", "AB9AA [D1] 1 - <- AB9AA", "EF2GH [D1,D1*] 1 - <- D1"},
     {"D1 2/1/2"}},
    {"a destination named Via: the blank before it begins the path",
     {"Fm EF2GH To Via Via D1* <UI>"},
     {"EF2GH [Via] 1 - <- EF2GH"},
     {"Via 1/0/1"}},
    {"long paths alike in their first bytes, a path at the line's very end",
     {"Fm EF2GH To CQ Via DB0AAA-10,DB0BB-1* <UI>", "Fm EF2GH To CQ Via DB0AAA-10,DB0BB-2* <UI>",
      "Fm EF2GH To CQ Via DB0AAA-10,DB0BB-1*", "Fm EF2GH To CQ Via D1*",
      "Fm EF2GH To CQ Via D1* <UI pid=F0 Len=31>"},
     {"EF2GH [D1*] 2 - <- D1", "EF2GH [DB0AAA-10,DB0BB-1*] 2 - <- DB0BB-1",
      "EF2GH [DB0AAA-10,DB0BB-2*] 1 - <- DB0BB-2"},
     {"DB0AAA-10 3/0/1", "D1 2/2/1", "DB0BB-1 2/2/1", "DB0BB-2 1/1/1"}},
};

class PathRecordTest : public testing::TestWithParam<PathRow> {};

TEST_P(PathRecordTest, GathersEachStationsPathsAndTheDigipeaters) {
    const RunOutcome out = runLines(GetParam().lines);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    std::vector<std::string> paths;
    for (const PathRecord& p : out.paths.records())
        paths.push_back(p.station + " [" + p.via + "] " + std::to_string(p.frames) + " " +
                        (p.stamped() ? p.firstHeard() + "-" + p.lastHeard() : "-") + " <- " +
                        p.heardFrom());
    EXPECT_EQ(paths, GetParam().paths);
    std::vector<std::string> digis;
    for (const DigipeaterRecord& d : digipeaters(out.paths.records()))
        digis.push_back(d.call + " " + std::to_string(d.frames) + "/" + std::to_string(d.repeated) +
                        "/" + std::to_string(d.stations));
    EXPECT_EQ(digis, GetParam().digipeaters);
}

INSTANTIATE_TEST_SUITE_P(Rows, PathRecordTest, testing::ValuesIn(pathRows), testsupport::RowName());

// Stations with many paths, short and long, some shared between them, heard
// in turns: each path's frames and times as counted here, line by line. More
// than a station's block holds, and more path texts than the first table has
// room for.
TEST(StationPaths, ManyPathsOfAStationAreEachCountedAlone) {
    std::vector<std::string> lines;
    std::map<std::pair<std::string, std::string>, std::tuple<int, std::string, std::string>> want;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 40; ++i) {
            if (i % 3 < round)
                continue; // paths heard once, twice or three times
            const std::string station = i % 4 == 0 ? "ZZ9ZZ" : "EF2GH";
            const std::string via = (i % 2 ? "DB0LONGNAME-1,D" : "D") + std::to_string(i) + "*";
            const int second = round * 100 + i;
            const std::string stamp = "10:0" + std::to_string(second / 60) + ":" +
                                      (second % 60 < 10 ? "0" : "") + std::to_string(second % 60);
            lines.push_back("Fm " + station + " To CQ Via " + via + " <UI> >[" + stamp + "]");
            auto& [frames, first, last] = want[{station, via}];
            if (frames++ == 0)
                first = stamp;
            last = stamp;
        }
    }
    const RunOutcome out = runLines(lines);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    std::map<std::pair<std::string, std::string>, std::tuple<int, std::string, std::string>> got;
    for (const PathRecord& p : out.paths.records())
        got[{p.station, p.via}] = {p.frames, p.firstHeard(), p.lastHeard()};
    EXPECT_EQ(got, want);
    EXPECT_EQ(out.paths.records().size(), want.size());
}

} // namespace
} // namespace tallix::analysis
