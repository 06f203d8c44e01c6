// tallix-report's station table, its CSV and JSON forms; the activity chart's
// files are tested with Qt (tests/chart).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "run_process.h"

namespace tallix::report {
namespace {

using testsupport::readBytes;
using testsupport::runReport;
using testsupport::TempDir;

// Own call AB1CD: EF2GH heard direct and via a digipeater, a call holding a
// quote and a comma, one in 8-bit text, and a station never stamped.
const std::string StationLog = "Kest log\r\n"
                               "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                               "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                               "Fm Q\"RS,TU To CQ >[10:01:10]\r\n"
                               "Fm EF2GH To CQ Via DIGI* >[10:02:00]\r\nhi\r\n"
                               "Fm F\xE9LIX To CQ >[10:01:40]\r\n"
                               "Fm ZZ9ZZ To CQ\r\n";

TEST(StationsProgram, TableCsvAndJson) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const auto text = runReport(dir, {"--stations", "--call", "AB1CD", log});
    EXPECT_EQ(text.out, "Call     Frames  First heard  Last heard  Direct  Via digipeater  Own\n"
                        "EF2GH         2  10:00:00     10:02:00         1               1\n"
                        "F\xC3\xA9LIX         1  10:01:40     10:01:40         1               0\n"
                        "Q\"RS,TU       1  10:01:10     10:01:10         1               0\n"
                        "AB1CD         1  10:00:30     10:00:30         1               0  yes\n"
                        "ZZ9ZZ         1                                1               0\n");
    // Oldest first heard first; the call with a quote and a comma quoted.
    const auto csv =
        runReport(dir, {"--stations", "--csv", "--sort", "first", "--call", "AB1CD", log});
    EXPECT_EQ(csv.out, "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                       "EF2GH,2,10:00:00,10:02:00,1,1,no\r\n"
                       "AB1CD,1,10:00:30,10:00:30,1,0,yes\r\n"
                       "\"Q\"\"RS,TU\",1,10:01:10,10:01:10,1,0,no\r\n"
                       "F\xE9LIX,1,10:01:40,10:01:40,1,0,no\r\n"
                       "ZZ9ZZ,1,,,1,0,no\r\n");
    const auto json = runReport(dir, {"--json", "--stations", "--call", "AB1CD", log});
    for (const char* part :
         {",\"stations\":[{\"call\":\"EF2GH\",\"frames\":2,\"direct\":1,\"via_digipeater\":1,"
          "\"first_heard\":\"10:00:00\",\"last_heard\":\"10:02:00\",\"own\":false},",
          "{\"call\":\"Q\\\"RS,TU\",", "\"last_heard\":\"\",\"own\":false}],\"activity\":[",
          "{\"minute\":601,\"time\":\"10:01\",\"received\":3,\"transmitted\":0,\"digipeated\":0}"})
        EXPECT_TRUE(json.outHas(part)) << part << "\n" << json.out;
}

#ifndef TALLIX_REPORT_CHARTS
// Built without Qt, the tool paints no chart, says so and writes no file.
TEST(ActivityChart, ABuildWithoutQtSaysItWritesNone) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const auto r = runReport(dir, {"--chart", dir.path("c.png"), "--call", "A", log});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errHas("cannot write the chart to " + dir.path("c.png") +
                         ": this tallix-report was built without Qt"))
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("c.png")));
}
#endif

} // namespace
} // namespace tallix::report
