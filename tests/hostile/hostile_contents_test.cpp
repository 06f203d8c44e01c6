// Hostile file contents: the preview shows the bytes as they are, the run
// gives its exact result, and the file is left byte for byte as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"
#include "text_lines.h"

namespace tallix::analysis {
namespace {

using namespace std::string_literals;
using testsupport::crlfLines;

struct ContentRow : testsupport::NamedRow {
    std::string content;
    bool prompted; // not recognised as a Kest file
    std::int32_t lineCount;
    std::string processed; // with "Remove Your TX Frames" ticked
    std::vector<std::string> heard = {};
    std::string ownCall = "PA3XYZ";
};

// Every byte value 64 times; a lone CR ends a line, a lone LF does not.
std::string everyByte(const std::string& cr) {
    std::string s;
    for (int i = 0; i < 64 * 256; ++i)
        s += i % 256 == '\r' ? cr : std::string(1, static_cast<char>(i % 256));
    return s;
}

const std::string tenMegabytes(10u << 20, 'x');
const std::string nulLog = "Kest\0log\r\nFm ON4AB\0 To CQ\r\n\0\0\0\r\n"s;
// The own frame without a digipeat marker goes with its data line; the own call
// in other letter case is another station.
const std::string own = "P\xC4XYZ", ownLower = "p\xE4xyz", other = "\xC9\xE9PQ1";
const std::string sent = "Fm " + own + " To CQ\r\n\x80\xFF secret\r\n";
const std::string kept = crlfLines({"Fm " + own + " To CQ Via ON0DIG*", "\xA0\xFF",
                                    "Fm " + other + " To CQ", "Fm " + ownLower + " To CQ"});

const ContentRow contentRows[] = {
    {"binary", everyByte("\r"), true, 65, everyByte("\r\n") + "\r\n"},
    {"NUL bytes", nulLog, false, 3, nulLog, {"ON4AB\0"s}},
    {"a 10 MB line with trailing blanks", "Kest\r\n" + tenMegabytes + "   \r\n", false, 2,
     "Kest\r\n" + tenMegabytes + "\r\n"},
    {"8-bit own call, calls and texts",
     "Kest \xE9t\xE9\r\n" + sent + kept,
     false,
     7,
     "Kest \xE9t\xE9\r\n" + kept,
     {own, other, ownLower},
     own},
    // Runs of empty lines are cut to one.
    {"only CRs", std::string(5000, '\r'), true, 5000, "\r\n"},
    {"only LFs", std::string(5000, '\n'), true, 1, std::string(5000, '\n') + "\r\n"},
};

class HostileContentTest : public testing::TestWithParam<ContentRow> {};

TEST_P(HostileContentTest, PreviewAndRunGiveExactResultsAndLeaveTheFileAlone) {
    const ContentRow& row = GetParam();
    testsupport::TempDir dir;
    const std::string path = dir.write("hostile.log", row.content);
    const auto before = testsupport::snapshot(dir.dir());

    const files::RawText raw = files::loadRawText(path);
    EXPECT_TRUE(raw.loaded && !raw.richText && raw.text == row.content);

    testsupport::ScriptedControl control;
    const RunOutcome out =
        testsupport::runOver(dir, "hostile.log", row.content, row.ownCall, control);
    EXPECT_EQ(control.prompts.size(), row.prompted ? 1U : 0U);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, row.lineCount);
    EXPECT_TRUE(out.processedText == row.processed) << out.processedText.size() << " bytes";
    EXPECT_EQ(out.heard, row.heard);
    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileContentTest, testing::ValuesIn(contentRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix::analysis
