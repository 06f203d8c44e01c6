// Hostile rich text: 100000 nested groups, and documents cut off. The preview
// reads each to its exact plain text, the analysis of it as a rich-text source
// concludes without a prompt, and the file is left as it was.

#include <gtest/gtest.h>

#include <string>

#include "analysis/run.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"

namespace tallix::files {
namespace {

const std::string opening(100000, '{'), closing(100000, '}');

struct RtfRow {
    const char* name;
    std::string document, plainText;
    int lineCount; // of the plain text and the CR LF the run adds
};

void PrintTo(const RtfRow& row, std::ostream* os) {
    testsupport::printRowName(row.name, os);
}

const RtfRow rtfRows[] = {
    {"100000 nested groups", "{\\rtf1 " + opening + "\\b deep" + closing + " after}", "deep after",
     1},
    {"cut off in 100000 open groups", "{\\rtf1 " + opening + "\\ul open", "open", 1},
    {"cut off after a paragraph mark", "{\\rtf1 a\\par b\\par", "a\r\nb\r\n", 3},
};

class HostileRtfTest : public testing::TestWithParam<RtfRow> {};

TEST_P(HostileRtfTest, ReadsToPlainTextAndAnalyses) {
    const RtfRow& row = GetParam();
    testsupport::TempDir dir;
    const std::string path = dir.write("hostile.rtf", row.document);
    const auto before = testsupport::snapshot(dir.dir());

    const RawText raw = loadRawText(path);
    EXPECT_EQ(raw.text, row.plainText);

    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = true;
    input.writeRtfTempFile = false;
    input.rawPane = [&raw] { return analysis::RawPane{raw.text, previewLineCount(raw.text)}; };
    testsupport::ScriptedControl control;
    analysis::LineStore store;
    analysis::HeardStore heard;
    const analysis::RunOutcome out = analysis::runAnalysis(input, store, heard, control);
    EXPECT_TRUE(control.prompts.empty());
    ASSERT_EQ(out.end, analysis::RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, row.lineCount);
    EXPECT_EQ(out.processedText, row.plainText + "\r\n");
    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileRtfTest, testing::ValuesIn(rtfRows), testsupport::RowName());

} // namespace
} // namespace tallix::files
