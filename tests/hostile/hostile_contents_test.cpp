// Hostile file contents: the preview shows the bytes as they are, the run
// gives its exact result, and the file is left byte for byte as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "analysis/run.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"

namespace tallix::analysis {
namespace {

struct ContentRow : testsupport::NamedRow {
    std::string content;
    bool prompted; // not recognised as a Kest file
    std::int32_t lineCount;
    std::string processed; // with "Remove Your TX Frames" ticked
};

// Every byte value 64 times; a lone CR ends a line, a lone LF does not.
std::string everyByte(const std::string& cr) {
    std::string s;
    for (int i = 0; i < 64 * 256; ++i)
        s += i % 256 == '\r' ? cr : std::string(1, static_cast<char>(i % 256));
    return s;
}

const std::string tenMegabytes(10u << 20, 'x');

const ContentRow contentRows[] = {
    {"binary", everyByte("\r"), true, 65, everyByte("\r\n") + "\r\n"},
    {"a 10 MB line with trailing blanks", "Kest\r\n" + tenMegabytes + "   \r\n", false, 2,
     "Kest\r\n" + tenMegabytes + "\r\n"},
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
    const RunOutcome out = testsupport::runOver(dir, "hostile.log", row.content, "PA3XYZ", control);
    EXPECT_EQ(control.prompts.size(), row.prompted ? 1U : 0U);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, row.lineCount);
    EXPECT_TRUE(out.processedText == row.processed) << out.processedText.size() << " bytes";
    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileContentTest, testing::ValuesIn(contentRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix::analysis
