#include "analysis/frame_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/run.h"
#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

using testsupport::captionOf;
using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

// One small log, the own call, and what the pass must make of it with the
// removal option on.
struct PassRow {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> processed;
    std::int32_t received;
    std::int32_t transmitted;
    std::int16_t digipeated;
    std::string first;
    std::string last;
    std::vector<std::string> heard;
    std::string ownCall = "AB1CD";
};

const PassRow passRows[] = {
    {"own frame and its data dropped",
     {"Fm AB1CD To CQ Via DIGI >[10:00:00]", "hello", "Fm EF2GH To CQ Via DIGI* >[10:01:00]", "hi"},
     {"Fm EF2GH To CQ Via DIGI* >[10:01:00]", "hi"},
     1,
     1,
     0,
     "10:00:00",
     "10:01:00",
     {"AB1CD", "EF2GH"}},
    {"own digipeated frame kept",
     {"Fm AB1CD To CQ Via DIGI* >[10:00:00]", "hello", "Fm EF2GH To CQ Via DIGI* >[10:01:00]",
      "hi"},
     {"Fm AB1CD To CQ Via DIGI* >[10:00:00]", "hello", "Fm EF2GH To CQ Via DIGI* >[10:01:00]",
      "hi"},
     2,
     0,
     1,
     "10:00:00",
     "10:01:00",
     {"AB1CD", "EF2GH"}},
    {"two own headers in a row",
     {"Fm AB1CD To CQ", "Fm AB1CD To EF2GH", "data of the second", "after"},
     {"after"},
     0,
     2,
     0,
     "",
     "",
     {"AB1CD"}},
    {"own header then own digipeated header",
     {"Fm AB1CD To CQ", "Fm AB1CD To CQ Via D*", "data"},
     {"Fm AB1CD To CQ Via D*", "data"},
     1,
     1,
     1,
     "",
     "",
     {"AB1CD"}},
    {"own digipeated header then own header",
     {"Fm AB1CD To CQ Via D*", "Fm AB1CD To CQ", "data", "Fm AB1CD To CQ", "dropped", "end"},
     {"Fm AB1CD To CQ Via D*", "data", "end"},
     1,
     2,
     1,
     "",
     "",
     {"AB1CD"}},
    {"three empty lines cut to one",
     {"Fm EF2GH To CQ", "x", "", "", "", "Fm IJ3KL To CQ", "y"},
     {"Fm EF2GH To CQ", "x", "", "Fm IJ3KL To CQ", "y"},
     2,
     0,
     0,
     "",
     "",
     {"EF2GH", "IJ3KL"}},
    {"lines of spaces are empty", {"x", "   ", " ", "y"}, {"x", "", "y"}, 0, 0, 0, "", "", {}},
    {"empty lines around an own digipeated header",
     {"x", "", "Fm AB1CD To CQ Via DIGI*", "", "y"},
     {"x", "", "Fm AB1CD To CQ Via DIGI*", "y"},
     1,
     0,
     1,
     "",
     "",
     {"AB1CD"}},
    {"dropped data line keeps the empty run",
     {"x", "", "Fm AB1CD To CQ", "data", "", "y"},
     {"x", "", "y"},
     0,
     1,
     0,
     "",
     "",
     {"AB1CD"}},
    {"dropped empty data line",
     {"x", "Fm AB1CD To CQ", "", "", "y"},
     {"x", "", "y"},
     0,
     1,
     0,
     "",
     "",
     {"AB1CD"}},
    {"lower and upper case headers",
     {"fm ef2gh To CQ >[10:00:00]", "a", "FM XY1Z To CQ >[10:05:00]", "b"},
     {"fm ef2gh To CQ >[10:00:00]", "a", "FM XY1Z To CQ >[10:05:00]", "b"},
     0,
     0,
     0,
     "10:00:00",
     "10:05:00",
     {"ef2gh", "XY1Z"}},
    {"not own headers",
     {"Fm AB1CD Via X To CQ", "a", "Fm AB1CD-1 To CQ", "b", "FM AB1CD To CQ", "c", "Fm AB1CD to CQ",
      "d", "Fm ab1cd To CQ", "e"},
     {"Fm AB1CD Via X To CQ", "a", "Fm AB1CD-1 To CQ", "b", "FM AB1CD To CQ", "c", "Fm AB1CD to CQ",
      "d", "Fm ab1cd To CQ", "e"},
     4,
     0,
     0,
     "",
     "",
     {"AB1CD", "AB1CD-1", "ab1cd"}},
    {"star anywhere in an own header",
     {"Fm AB1CD To CQ <I C=1> *", "data"},
     {"Fm AB1CD To CQ <I C=1> *", "data"},
     1,
     0,
     1,
     "",
     "",
     {"AB1CD"}},
    {"own header cut out by pre-processing",
     {"1:Fm AB1CD To CQ", "data", "2:Fm EF2GH To CQ", "12:Fm IJ3KL To CQ", " 1:Fm MN4OP To CQ"},
     {"Fm EF2GH To CQ", "12:Fm IJ3KL To CQ", " 1:Fm MN4OP To CQ"},
     1,
     1,
     0,
     "",
     "",
     {"AB1CD", "EF2GH"}},
    {"trailing spaces gone and tabs kept",
     {"Fm EF2GH To CQ   ", "text\t", "more  "},
     {"Fm EF2GH To CQ", "text\t", "more"},
     1,
     0,
     0,
     "",
     "",
     {"EF2GH"}},
    {"no time stamps",
     {"Fm EF2GH To CQ", "a >[10:00:00]"},
     {"Fm EF2GH To CQ", "a >[10:00:00]"},
     1,
     0,
     0,
     "",
     "",
     {"EF2GH"}},
    {"one stamped header",
     {"Fm EF2GH To CQ >[10:00:00]", "Fm IJ3KL To CQ"},
     {"Fm EF2GH To CQ >[10:00:00]", "Fm IJ3KL To CQ"},
     2,
     0,
     0,
     "10:00:00",
     "",
     {"EF2GH", "IJ3KL"}},
    {"last stamp kept over an unstamped header",
     {"Fm A To CQ >[10:00:00]", "Fm B To CQ >[10:02:00]", "Fm C To CQ >[10:03:00]", "Fm D To CQ"},
     {"Fm A To CQ >[10:00:00]", "Fm B To CQ >[10:02:00]", "Fm C To CQ >[10:03:00]", "Fm D To CQ"},
     4,
     0,
     0,
     "10:00:00",
     "10:03:00",
     {"A", "B", "C", "D"}},
    {"short and odd stamps",
     {"Fm A To CQ >[x>[10:00:00]", "Fm B To CQ >[10:0"},
     {"Fm A To CQ >[x>[10:00:00]", "Fm B To CQ >[10:0"},
     2,
     0,
     0,
     "x>[10:00",
     "10:0",
     {"A", "B"}},
    {"empty stamp taken as the first",
     {"Fm A To CQ >[", "Fm B To CQ >[10:00:00]"},
     {"Fm A To CQ >[", "Fm B To CQ >[10:00:00]"},
     2,
     0,
     0,
     "",
     "10:00:00",
     {"A", "B"}},
    {"own header ending in To after trimming",
     {"Fm AB1CD To ", "data"},
     {"Fm AB1CD To", "data"},
     1,
     0,
     0,
     "",
     "",
     {"AB1CD"}},
    {"line feed inside a header line",
     {"Fm EF2GH To CQ\nsecond", "Fm AB1CD To CQ\n*", "kept"},
     {"Fm EF2GH To CQ\nsecond", "Fm AB1CD To CQ\n*", "kept"},
     2,
     0,
     1,
     "",
     "",
     {"EF2GH", "AB1CD"}},
    {"eight bit bytes kept",
     {"Fm \xc9"
      "A1 To CQ",
      std::string("d\0\xff", 3), "Fm AB1CD To \xe9", "dropped"},
     {"Fm \xc9"
      "A1 To CQ",
      std::string("d\0\xff", 3)},
     1,
     1,
     0,
     "",
     "",
     {"\xc9"
      "A1",
      "AB1CD"}},
    {"fm alone is a header without a call",
     {"Fm", "fm", "Fm AB1CD To CQ", "x"},
     {"Fm", "fm"},
     0,
     1,
     0,
     "",
     "",
     {"AB1CD"}},
    {"own call held with a trailing space",
     {"Fm AB1CD  To CQ", "dropped", "Fm AB1CD To CQ", "kept"},
     {"Fm AB1CD To CQ", "kept"},
     1,
     1,
     0,
     "",
     "",
     {"AB1CD"},
     "AB1CD "},
    {"own call ending in To",
     {"Fm AB1To To CQ", "kept"},
     {"Fm AB1To To CQ", "kept"},
     1,
     0,
     0,
     "",
     "",
     {"AB1To"},
     "AB1To"},
    {"empty own call",
     {"Fm  To CQ", "dropped", "Fm AB1CD To CQ", "kept"},
     {"Fm AB1CD To CQ", "kept"},
     1,
     1,
     0,
     "",
     "",
     {"AB1CD"},
     ""},
    {"lower case own call",
     {"Fm AB1CD To CQ", "kept", "Fm ab1cd To CQ", "dropped"},
     {"Fm AB1CD To CQ", "kept"},
     1,
     1,
     0,
     "",
     "",
     {"AB1CD", "ab1cd"},
     "ab1cd"},
};

class PassTest : public testing::TestWithParam<PassRow> {};

TEST_P(PassTest, CountsAndKeepsLines) {
    const auto& row = GetParam();
    TempDir dir;
    ScriptedControl control;
    const std::string content = crlfLines(row.lines);
    const RunOutcome out = testsupport::runOver(dir, "log.txt", content, row.ownCall, control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);

    const std::int32_t kept = static_cast<std::int32_t>(row.processed.size());
    EXPECT_EQ(out.processedText, crlfLines(row.processed));
    EXPECT_EQ(control.appended, row.processed);
    EXPECT_EQ(out.result.receivedHeaders, row.received);
    EXPECT_EQ(out.result.transmittedFrames, row.transmitted);
    EXPECT_EQ(out.result.ownDigipeated, row.digipeated);
    EXPECT_EQ(out.result.keptLines, kept);
    EXPECT_EQ(out.result.firstPacketTime, row.first);
    EXPECT_EQ(out.result.lastPacketTime, row.last);
    EXPECT_EQ(out.heard, row.heard);
    EXPECT_EQ(control.heardCalls, row.heard);

    EXPECT_EQ(captionOf(out, "Label16"), std::to_string(row.received));
    EXPECT_EQ(captionOf(out, "Label18"), std::to_string(row.transmitted));
    EXPECT_EQ(captionOf(out, "Label8"), std::to_string(row.digipeated));
    EXPECT_EQ(captionOf(out, "Label14"), std::to_string(kept + row.digipeated));
    EXPECT_EQ(captionOf(out, "Label26"), row.first);
    EXPECT_EQ(captionOf(out, "Label28"), row.last);
    EXPECT_EQ(captionOf(out, "Label12"), std::to_string(row.lines.size()));
    EXPECT_EQ(captionOf(out, "Label24"), std::to_string(out.processedText.size()) + " Bytes");
    EXPECT_EQ(captionOf(out, "Label7"), "Processed Raw File and TX frames removed");
}

// With the option off nothing is written during the pass, the counters are the
// same, and the processed text is the raw pane's text as it is.
TEST_P(PassTest, OptionOffCopiesTheRawText) {
    const auto& row = GetParam();
    TempDir dir;
    ScriptedControl control;
    control.removal = false;
    const std::string content = crlfLines(row.lines) + "tail without break  ";
    const RunOutcome out = testsupport::runOver(dir, "log.txt", content, row.ownCall, control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);

    EXPECT_TRUE(control.appended.empty());
    EXPECT_EQ(out.processedText, content);
    EXPECT_TRUE(out.processedIsRawCopy);
    EXPECT_EQ(out.result.receivedHeaders, row.received);
    EXPECT_EQ(out.result.transmittedFrames, row.transmitted);
    EXPECT_EQ(out.result.ownDigipeated, row.digipeated);
    // The extra last line is a candidate in every row.
    EXPECT_EQ(out.result.keptLines, static_cast<std::int32_t>(row.processed.size()) + 1);
    EXPECT_EQ(captionOf(out, "Label7"), "Processed Raw File");
    EXPECT_EQ(captionOf(out, "Label24"), std::to_string(content.size()) + " Bytes");
}

INSTANTIATE_TEST_SUITE_P(Rows, PassTest, testing::ValuesIn(passRows), testsupport::RowName());

// ---- the pieces of a header line ----

TEST(HeaderRules, OwnHeader) {
    EXPECT_TRUE(isOwnHeader("Fm AB1CD To CQ", "AB1CD"));
    EXPECT_TRUE(isOwnHeader("Fm AB1CD To ", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("Fm AB1CD To", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("Fm AB1CD Via X To CQ", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("Fm AB1CD-1 To CQ", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("FM AB1CD To CQ", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("Fm AB1CD", "AB1CD"));
    EXPECT_FALSE(isOwnHeader("Fm AB1CD To CQ", ""));
    EXPECT_TRUE(isOwnHeader("Fm  To CQ", ""));
    EXPECT_FALSE(isOwnHeader("", ""));
}

TEST(HeaderRules, StationHeaderAndTime) {
    EXPECT_TRUE(isStationHeader("fM x"));
    EXPECT_TRUE(isStationHeader("Fm"));
    EXPECT_FALSE(isStationHeader("F"));
    EXPECT_FALSE(isStationHeader(" Fm"));

    std::string_view time;
    ASSERT_TRUE(packetTime("Fm A To B >[12:34:56] x", time));
    EXPECT_EQ(time, "12:34:56");
    EXPECT_FALSE(packetTime("Fm A > [12:00:00]", time));
}

// ---- progress captions ----

std::vector<std::string> numberedLog(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i)
        lines.push_back(i % 2 ? "Fm ST" + std::to_string(i) + " To CQ >[10:" + (i < 20 ? "0" : "") +
                                    std::to_string(i / 2) + ":00]"
                              : "data " + std::to_string(i));
    return lines;
}

TEST(PassCaptions, LineAndPreviewFigure) {
    TempDir dir;
    ScriptedControl control;
    const auto out =
        testsupport::runOver(dir, "log.txt", crlfLines(numberedLog(240)), "AB1CD", control, 240);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    ASSERT_EQ(control.passCaptions.size(), 240U);
    EXPECT_EQ(control.passCaptions[0], "Processing Data Line 1/240");
    EXPECT_EQ(control.passCaptions[16], "Processing Data Line 17/240");
    EXPECT_EQ(control.passCaptions[239], "Processing Data Line 240/240");
    ASSERT_EQ(control.preprocessCaptions.size(), 100U);
    EXPECT_EQ(control.preprocessCaptions[0], "Pre-processing Data Line 1");
    EXPECT_EQ(control.preprocessCaptions[16], "Pre-processing Data Line 17");
    EXPECT_EQ(control.preprocessCaptions[99], "Pre-processing Data Line 100");
    EXPECT_EQ(control.lastPreprocessCaption, "Pre-processing Data Line 240");
    EXPECT_EQ(control.preprocessLines.size(), 240U);
    EXPECT_EQ(control.passStartedCounts, std::vector<std::int32_t>{240});
    EXPECT_EQ(control.passEndedCount, 1);
}

TEST(PassCaptions, CaptionStandsAloneForEachLine) {
    LineCaption caption = passCaption(7);
    EXPECT_EQ(caption.forLine(9), "Processing Data Line 9/7");
    EXPECT_EQ(caption.forLine(10), "Processing Data Line 10/7");
    EXPECT_EQ(caption.forLine(99), "Processing Data Line 99/7");
    EXPECT_EQ(caption.forLine(100), "Processing Data Line 100/7");
    EXPECT_EQ(caption.forLine(3), "Processing Data Line 3/7");
    LineCaption pre = preprocessCaption();
    EXPECT_EQ(pre.forLine(65000), "Pre-processing Data Line 65000");
    EXPECT_EQ(pre.forLine(1), "Pre-processing Data Line 1");
}

// ---- cancel and the option changed during the pass ----

TEST(PassControl, CancelAfterLineTen) {
    TempDir dir;
    ScriptedControl control;
    control.cancelAfterLine = 10;
    const auto lines = numberedLog(100);
    const auto out = testsupport::runOver(dir, "log.txt", crlfLines(lines), "AB1CD", control, 100);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(control.passLines.size(), 10U);
    EXPECT_EQ(out.result.receivedHeaders, 5);
    EXPECT_EQ(out.result.keptLines, 10);
    EXPECT_EQ(out.heard, (std::vector<std::string>{"ST1", "ST3", "ST5", "ST7", "ST9"}));
    EXPECT_EQ(out.result.firstPacketTime, "10:00:00");
    EXPECT_EQ(out.result.lastPacketTime, "10:04:00");
    EXPECT_EQ(out.processedText,
              crlfLines(std::vector<std::string>(lines.begin(), lines.begin() + 10)));
    // Every figure is still written, over the lines handled.
    EXPECT_EQ(captionOf(out, "Label16"), "5");
    EXPECT_EQ(captionOf(out, "Label12"), "100");
    EXPECT_EQ(captionOf(out, "Label32"), "4 min");
    EXPECT_EQ(captionOf(out, "Label30"), "1");
    EXPECT_EQ(control.passEndedCount, 1);
}

TEST(PassControl, OptionTurnedOnDuringThePass) {
    TempDir dir;
    ScriptedControl control;
    control.removal = false;
    control.flipRemovalAfterLine = 4;
    const std::vector<std::string> lines = {"Fm EF2GH To CQ", "one",  "Fm AB1CD To CQ",
                                            "dropped",        "five", "Fm AB1CD To CQ",
                                            "dropped",        "eight"};
    const auto out = testsupport::runOver(dir, "log.txt", crlfLines(lines), "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(control.appended, (std::vector<std::string>{"five", "eight"}));
    EXPECT_EQ(out.processedText, "five\r\neight\r\n");
    EXPECT_FALSE(out.processedIsRawCopy);
    EXPECT_EQ(out.result.keptLines, 4);
    EXPECT_EQ(captionOf(out, "Label7"), "Processed Raw File and TX frames removed");
    EXPECT_EQ(captionOf(out, "Label24"), "13 Bytes");
}

TEST(PassControl, OptionTurnedOffDuringThePass) {
    TempDir dir;
    ScriptedControl control;
    control.flipRemovalAfterLine = 4;
    const std::vector<std::string> lines = {"Fm EF2GH To CQ", "one",  "Fm AB1CD To CQ",
                                            "dropped",        "five", "Fm AB1CD To CQ",
                                            "dropped",        "eight"};
    const std::string content = crlfLines(lines);
    const auto out = testsupport::runOver(dir, "log.txt", content, "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(control.appended, (std::vector<std::string>{"Fm EF2GH To CQ", "one"}));
    // Off at the end: the processed text is the raw text after all.
    EXPECT_EQ(out.processedText, content);
    EXPECT_TRUE(out.processedIsRawCopy);
    EXPECT_EQ(out.result.keptLines, 4);
    EXPECT_EQ(captionOf(out, "Label7"), "Processed Raw File");
}

} // namespace
} // namespace tallix::analysis
