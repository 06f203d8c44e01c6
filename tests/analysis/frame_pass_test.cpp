#include "analysis/frame_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/run.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"
#include "text_lines.h"

namespace tallix::analysis {
namespace {

using testsupport::bars;
using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

// A small log (lines joined by "|") and what the pass makes of it: the lines
// kept with the removal option on ("=": all of them), the counters, the times
// and the heard list.
struct PassRow : testsupport::NamedRow {
    std::string lines;
    std::string kept;
    std::int32_t received, transmitted;
    std::int16_t digipeated;
    std::string first, last, heard;
};

const PassRow passRows[] = {
    {"own frame and its data dropped",
     "Fm AB1CD To CQ Via DIGI >[10:00:00]|hello|Fm EF2GH To CQ Via DIGI* >[10:01:00]|hi",
     "Fm EF2GH To CQ Via DIGI* >[10:01:00]|hi", 1, 1, 0, "10:00:00", "10:01:00", "AB1CD|EF2GH"},
    {"own digipeated frame kept",
     "Fm AB1CD To CQ Via DIGI* >[10:00:00]|hello|Fm EF2GH To CQ Via DIGI* >[10:01:00]|hi", "=", 2,
     0, 1, "10:00:00", "10:01:00", "AB1CD|EF2GH"},
    {"second own header is a header, not data", "Fm AB1CD To CQ|Fm AB1CD To EF2GH|data|after",
     "after", 0, 2, 0, "", "", "AB1CD"},
    // An own header without "*" leaves the digipeat mark as it was.
    {"a digipeated header in a run of own headers keeps the data",
     "Fm AB1CD To CQ|Fm AB1CD To CQ Via D*|Fm AB1CD To CQ|data|Fm AB1CD To CQ|dropped|end",
     "Fm AB1CD To CQ Via D*|data|end", 1, 3, 1, "", "", "AB1CD"},
    {"empty lines and spaces only cut to one", "Fm EF2GH To CQ|x||   ||Fm IJ3KL To CQ|y",
     "Fm EF2GH To CQ|x||Fm IJ3KL To CQ|y", 2, 0, 0, "", "", "EF2GH|IJ3KL"},
    {"own digipeated header leaves the empty run", "x||Fm AB1CD To CQ Via DIGI*||y",
     "x||Fm AB1CD To CQ Via DIGI*|y", 1, 0, 1, "", "", "AB1CD"},
    {"dropped data line leaves the empty run", "x||Fm AB1CD To CQ|data||y", "x||y", 0, 1, 0, "", "",
     "AB1CD"},
    {"dropped empty data line does not count as empty", "x|Fm AB1CD To CQ|||y", "x||y", 0, 1, 0, "",
     "", "AB1CD"},
    {"fm in other case is a station header but not received",
     "fm ef2gh To CQ >[10:00:00]|a|FM XY1Z To CQ >[10:05:00]|Fm|b", "=", 0, 0, 0, "10:00:00",
     "10:05:00", "ef2gh|XY1Z"},
    {"not own headers", "Fm AB1CD Via X To CQ|a|Fm AB1CD-1 To CQ|b|FM AB1CD To CQ|c|Fm ab1cd To CQ",
     "=", 3, 0, 0, "", "", "AB1CD|AB1CD-1|ab1cd"},
    {"what stands before Fm is cut first", "1:Fm AB1CD To CQ|data|2:Fm EF2GH To CQ|12:Fm X To CQ",
     "Fm EF2GH To CQ|12:Fm X To CQ", 1, 1, 0, "", "", "AB1CD|EF2GH"},
    // Only headers give times; an empty stamp is a first time all the same.
    {"time stamps", "a >[09:00:00]|Fm A To CQ >[|Fm B To CQ >[x>[10:00:00]|Fm C To CQ", "=", 3, 0,
     0, "", "x>[10:00", "A|B|C"},
    {"one stamped header sets the first time only", "Fm A To CQ >[10:00:00]|Fm B To CQ", "=", 2, 0,
     0, "10:00:00", "", "A|B"},
};

class PassTest : public testing::TestWithParam<PassRow> {};

// With the option off nothing is written during the pass, the counters are the
// same, and the processed text is the raw text exactly.
TEST_P(PassTest, CountsAndKeepsLines) {
    const auto& row = GetParam();
    for (const bool removal : {true, false}) {
        SCOPED_TRACE(removal ? "option on" : "option off");
        TempDir dir;
        ScriptedControl control;
        control.removal = removal;
        const std::string content = crlfLines(bars(row.lines));
        const auto out = testsupport::runOver(dir, "log.txt", content, "AB1CD", control);
        ASSERT_EQ(out.end, RunOutcome::End::Concluded);

        const auto kept = bars(row.kept == "=" ? row.lines : row.kept);
        EXPECT_EQ(out.processedText, removal ? crlfLines(kept) : content);
        EXPECT_EQ(control.appended, removal ? kept : std::vector<std::string>{});
        EXPECT_EQ(out.result.keptLines, static_cast<std::int32_t>(kept.size()));
        EXPECT_EQ(out.result.receivedHeaders, row.received);
        EXPECT_EQ(out.result.transmittedFrames, row.transmitted);
        EXPECT_EQ(out.result.ownDigipeated, row.digipeated);
        EXPECT_EQ(out.result.firstPacketTime, row.first);
        EXPECT_EQ(out.result.lastPacketTime, row.last);
        EXPECT_EQ(out.heard, bars(row.heard));
        EXPECT_EQ(control.heardCalls, out.heard);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PassTest, testing::ValuesIn(passRows), testsupport::RowName());

TEST(PassControl, CancelAfterLineTenOfAHundred) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 100; ++i)
        lines.push_back(i % 2 ? "Fm S" + std::to_string(i) +
                                    " To CQ >[10:" + std::to_string(10 + i) + ":00]"
                              : "data");
    TempDir dir;
    ScriptedControl control;
    control.cancelAfterLine = 10;
    const auto out = testsupport::runOver(dir, "log.txt", crlfLines(lines), "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(control.passCaptions.size(), 10U);
    EXPECT_EQ(out.processedText, crlfLines({lines.begin(), lines.begin() + 10}));
    EXPECT_EQ(out.heard, bars("S1|S3|S5|S7|S9"));
    // Every figure is still written, over the lines handled.
    EXPECT_EQ(out.figures.receivedHeaders, "5");
}

} // namespace
} // namespace tallix::analysis
