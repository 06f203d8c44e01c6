// Hostile rich text: 100000 nested groups, groups never closed or closed too
// often, documents cut off at awkward places, absurd counts. The preview reads
// each to its exact plain text, and the analysis of it as a rich-text source
// concludes without a prompt; the file is left as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "files/raw_text.h"
#include "files/rtf_reader.h"
#include "hostile/hostile_support.h"

namespace tallix::files {
namespace {

using testsupport::ScriptedControl;
using testsupport::TempDir;

constexpr int Deep = 100000;

std::string repeat(std::string_view piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct RtfRow {
    const char* name;
    std::string (*document)();
    std::string plainText;
    std::int32_t lineCount; // lines of the plain text and the CR LF the run adds
};

const RtfRow rtfRows[] = {
    {"100000 nested groups",
     [] { return "{\\rtf1 " + repeat("{", Deep) + "deep" + repeat("}", Deep) + "}"; }, "deep", 1},
    {"100000 nested groups each changing the format",
     [] {
         return "{\\rtf1 " + repeat("{\\b {\\b0\\i\\cf1 ", Deep / 2) + "x" + repeat("}", Deep) +
                " after}";
     },
     "x after", 1},
    {"100000 groups opened and never closed",
     [] { return "{\\rtf1 " + repeat("{\\ul ", Deep) + "open"; }, "open", 1},
    {"100000 surplus closing braces", [] { return "{\\rtf1 a}" + repeat("}", Deep) + "b"; }, "a",
     1},
    {"60000 paragraphs in nested groups",
     [] { return "{\\rtf1 " + repeat("{p\\par ", 60000) + repeat("}", 60000) + "}"; },
     repeat("p\r\n", 60000), 60001},
    {"cut after a backslash", [] { return std::string("{\\rtf1 a\\"); }, "a", 1},
    {"cut inside a hex escape", [] { return std::string("{\\rtf1 a\\'e"); }, "a", 1},
    {"cut inside the font table", [] { return std::string("{\\rtf1{\\fonttbl{\\f0 Cour"); }, "", 1},
    {"cut inside the colour table", [] { return std::string("{\\rtf1{\\colortbl;\\red255"); }, "",
     1},
    {"cut inside binary data", [] { return std::string("{\\rtf1 a\\bin10 xy"); }, "a", 1},
    {"cut after paragraph marks", [] { return std::string("{\\rtf1 a\\par b\\par"); }, "a\r\nb\r\n",
     3},
    {"binary count past the end", [] { return std::string("{\\rtf1 a\\bin99999999999 b}"); }, "a",
     1},
    {"negative binary count", [] { return std::string("{\\rtf1 a\\bin-5 b}"); }, "ab", 1},
    {"fallback count past the end",
     [] { return std::string("{\\rtf1\\uc99999999999 \\u233 abc}"); }, "\xE9", 1},
    {"negative character number", [] { return std::string("{\\rtf1 \\u-3?}"); }, "?", 1},
    {"NUL and 8-bit bytes in the text",
     [] { return testsupport::bytesOf("{\\rtf1 a\0b\xFF\\'80}"); },
     testsupport::bytesOf("a\0b\xFF\x80"), 1},
    {"only paragraph marks", [] { return std::string("{\\rtf1\\b\\i\\ul\\par\\par\\par}"); },
     "\r\n\r\n\r\n", 4},
};

class HostileRtfTest : public testing::TestWithParam<RtfRow> {};

TEST_P(HostileRtfTest, ReadsToPlainTextAndAnalyses) {
    const RtfRow& row = GetParam();
    TempDir dir;
    const std::string bytes = row.document();
    const std::string path = dir.write("hostile.rtf", bytes);
    const auto before = testsupport::snapshot(dir.dir());

    const RawText raw = loadRawText(path);
    ASSERT_TRUE(raw.loaded) << raw.errorNumber;
    EXPECT_TRUE(raw.richText);
    EXPECT_TRUE(raw.text == row.plainText) << "plain text of " << raw.text.size() << " bytes";

    // The analysis of it as a rich-text source, from the pane's text.
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = isRtfPath(path);
    input.writeRtfTempFile = false;
    input.ownCall = "PA3XYZ";
    input.rawPane = [&raw] { return analysis::RawPane{raw.text, previewLineCount(raw.text)}; };
    ScriptedControl control;
    control.removal = false;
    analysis::LineStore store;
    analysis::HeardStore heard;
    const analysis::RunOutcome out = analysis::runAnalysis(input, store, heard, control);
    EXPECT_TRUE(control.prompts.empty());
    ASSERT_EQ(out.end, analysis::RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, row.lineCount);
    EXPECT_TRUE(out.processedText == row.plainText);
    EXPECT_EQ(out.currentFile, dir.path("hostile.txt"));

    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileRtfTest, testing::ValuesIn(rtfRows), testsupport::RowName());

// Markup that does not begin as rich text is shown as it is, however much of
// it there is.
TEST(HostileRtfPlainTest, MarkupNotAtTheStartIsPlainText) {
    const std::string bytes = " " + repeat("{\\rtf1 ", 1000);
    const RawText raw = rawTextFromBytes(bytes);
    EXPECT_FALSE(raw.richText);
    EXPECT_EQ(raw.text, bytes);
}

} // namespace
} // namespace tallix::files
