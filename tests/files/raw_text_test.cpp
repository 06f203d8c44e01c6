#include "files/file_facts.h"
#include "files/raw_text.h"

#include <gtest/gtest.h>

#include <string>

#include "row_name.h"
#include "temp_dir.h"

namespace tallix::files {
namespace {

struct LineFigureRow {
    const char* name;
    std::string text;
    float expected;
};

void PrintTo(const LineFigureRow& row, std::ostream* os) {
    testsupport::printRowName(row.name, os);
}

class PreviewLineCountTest : public testing::TestWithParam<LineFigureRow> {};

TEST_P(PreviewLineCountTest, CountsBreaksMinusOne) {
    EXPECT_EQ(previewLineCount(GetParam().text), GetParam().expected);
}

struct LongestRow {
    const char* name;
    std::string text;
    std::size_t expected;
};

class LongestLineTest : public testing::TestWithParam<LongestRow> {};

TEST_P(LongestLineTest, MeasuresTheLongestLine) {
    EXPECT_EQ(longestLine(GetParam().text), GetParam().expected);
}

std::string tenLines(bool finalBreak) {
    std::string s;
    for (int i = 0; i < 10; ++i)
        s += "line" + std::to_string(i) + (i < 9 || finalBreak ? "\r\n" : "");
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PreviewLineCountTest,
    testing::Values(LineFigureRow{"TenLinesEachEndingWithABreak", tenLines(true), 9},
                    LineFigureRow{"TenLinesWithoutFinalBreak", tenLines(false), 8},
                    LineFigureRow{"Empty", "", -1},
                    LineFigureRow{"LoneCrAndLoneLfEachBreak", "a\rb\nc\r\n", 2}),
    [](const auto& row) { return std::string(row.param.name); });

// The longest line decides whether a pane can lay a text out.
INSTANTIATE_TEST_SUITE_P(Texts, LongestLineTest,
                         testing::Values(LongestRow{"CrLfEndsOneLine", "ab\r\ncde\r\n", 3},
                                         LongestRow{"LoneCrAndLoneLfEachEndOne", "abcd\rx\nyz", 4},
                                         LongestRow{"LastLineWithoutABreak", "a\r\nabcde", 5}),
                         [](const auto& row) { return std::string(row.param.name); });

// A text too large to show is not held; its line figure is still exact, also
// where a CR LF is cut between two of the pieces it is read or made in.
TEST(RawText, PreviewOfAFileTooLargeToShowCountsItsLinesInPieces) {
    const testsupport::TempDir dir;
    std::string bytes = std::string((1 << 20) - 1, 'a') + "\r\n";
    std::size_t lines = 1;
    while (bytes.size() <= LargestPaneText) {
        bytes += std::string(98, 'b') + "\r\n";
        ++lines;
    }
    const std::string path = dir.write("big.rtf", bytes); // the name plays no part
    int readings = 0;
    const Preview shown = loadPreview(path, [&] { ++readings; });
    EXPECT_TRUE(shown.raw.loaded);
    EXPECT_FALSE(shown.textHeld);
    EXPECT_TRUE(shown.raw.text.empty());
    EXPECT_EQ(shown.lineCount, static_cast<float>(lines - 1));
    EXPECT_NE(shown.notice.find("too large to show"), std::string::npos);
    EXPECT_GE(readings, 8);

    // The same text as rich text: counted as its plain text is made.
    std::string rich = "{\\rtf1\\ansi ";
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2)
        rich.append(bytes, at, end - at).append("\\par\r\n");
    const Preview richShown = loadPreview(dir.write("big.log", rich + "}"));
    EXPECT_FALSE(richShown.textHeld);
    EXPECT_TRUE(richShown.raw.richText);
    EXPECT_EQ(richShown.lineCount, shown.lineCount);
    EXPECT_EQ(richShown.notice, shown.notice);
}

// Rich text over the size limit whose plain text is small enough is shown.
TEST(RawText, RichTextOfMostlyMarkupIsShownWhateverItsFileSize) {
    const testsupport::TempDir dir;
    std::string rich = "{\\rtf1\\ansi ";
    while (rich.size() <= LargestPaneText)
        rich += "{\\b\\i\\ul\\fs20\\cf1 x}\\par\r\n";
    const Preview shown = loadPreview(dir.write("markup.rtf", rich + "}"));
    EXPECT_TRUE(shown.textHeld);
    EXPECT_TRUE(shown.notice.empty());
    EXPECT_EQ(shown.raw.text, readRtf(rich + "}").plainText());
}

TEST(RawText, RichTextFlagComesFromThePathAlone) {
    EXPECT_TRUE(isRtfPath("/logs/pass.rtf"));
    EXPECT_TRUE(isRtfPath("/logs/PASS.RTF"));
    EXPECT_TRUE(isRtfPath("/old.rtf/pass.log"));  // a folder name counts
    EXPECT_TRUE(isRtfPath("/logs/pass.rtf.txt")); // so does the middle of a name
    EXPECT_FALSE(isRtfPath("/logs/pass.rt"));
    EXPECT_FALSE(isRtfPath("/logs/passrtf.txt"));
}

TEST(RawText, ContentsDecideHowAFileIsRead) {
    const std::string plain = "Report Kest\r\nFm A To B\r\n\xE9";
    const RawText p = rawTextFromBytes(plain);
    EXPECT_FALSE(p.richText);
    EXPECT_EQ(p.text, plain); // bytes exactly, line ends untouched

    const RawText r = rawTextFromBytes("{\\rtf1\\ansi {\\b Head}\\par Fm A To B\\par}");
    EXPECT_TRUE(r.richText);
    EXPECT_EQ(r.text, "Head\r\nFm A To B\r\n");
}

TEST(FileFacts, SizeInKilobytesAlwaysAddsOne) {
    EXPECT_EQ(sizeKb(0), 1u);
    EXPECT_EQ(sizeKb(1023), 1u);
    EXPECT_EQ(sizeKb(1024), 2u);
    EXPECT_EQ(sizeKb(2048), 3u);
    EXPECT_EQ(sizeKb(5000), 5u);
}

TEST(FileFacts, GeneralDateLeavesOutMidnight) {
    const DateFormat f = defaultDateFormat();
    EXPECT_EQ(generalDateText({2026, 12, 6, 14, 5, 9}, f), "2026-12-06 14:05:09");
    EXPECT_EQ(generalDateText({2026, 12, 6, 0, 0, 0}, f), "2026-12-06");
    EXPECT_EQ(generalDateText({2026, 12, 6, 0, 0, 1}, f), "2026-12-06 00:00:01");
}

TEST(FileFacts, ReadsAnOrdinaryFileAndRefusesAFolder) {
    const testsupport::TempDir dir;
    const FileFactsResult ok = readFileFacts(dir.write("five.log", std::string(5000, 'x')));
    ASSERT_TRUE(ok.facts.has_value());
    EXPECT_EQ(ok.facts->size, 5000u);
    EXPECT_FALSE(readFileFacts(dir.dir().string()).facts.has_value());
    EXPECT_FALSE(readFileFacts(dir.path("gone.log")).facts.has_value());
}

} // namespace
} // namespace tallix::files
