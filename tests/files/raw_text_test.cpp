#include "files/file_facts.h"
#include "files/raw_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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
                    LineFigureRow{"LoneCrAndLoneLfEachBreak", "a\rb\nc\r\n", 2},
                    LineFigureRow{"OneLineNoBreak", "just text", -1}),
    [](const auto& row) { return std::string(row.param.name); });

// The longest line decides whether a pane can lay a text out.
INSTANTIATE_TEST_SUITE_P(Texts, LongestLineTest,
                         testing::Values(LongestRow{"CrLfEndsOneLine", "ab\r\ncde\r\n", 3},
                                         LongestRow{"LoneCrAndLoneLfEachEndOne", "abcd\rx\nyz", 4},
                                         LongestRow{"LastLineWithoutABreak", "a\r\nabcde", 5}),
                         [](const auto& row) { return std::string(row.param.name); });

// A plain file too large to show is not held; its line figure is still exact,
// also where a CR LF is cut between two of the pieces it is read in.
TEST(RawText, PreviewOfAFileTooLargeToShowCountsItsLinesInPieces) {
    const testsupport::TempDir dir;
    std::string bytes = std::string((1 << 20) - 1, 'a') + "\r\n";
    std::size_t lines = 1;
    while (bytes.size() <= LargestPaneText) {
        bytes += std::string(98, 'b') + "\r\n";
        ++lines;
    }
    const std::string path = dir.write("big.log", bytes);
    const Preview shown = loadPreview(path, false);
    EXPECT_TRUE(shown.raw.loaded);
    EXPECT_FALSE(shown.textHeld);
    EXPECT_TRUE(shown.raw.text.empty());
    EXPECT_EQ(shown.lineCount, static_cast<float>(lines - 1));
    EXPECT_NE(shown.notice.find("too large to show"), std::string::npos);

    const Preview held = loadPreview(path, true); // a run needs the text: held
    EXPECT_TRUE(held.textHeld);
    EXPECT_EQ(held.raw.text, bytes);
    EXPECT_EQ(held.lineCount, shown.lineCount);
    EXPECT_EQ(held.notice, shown.notice);
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

TEST(RawText, MissingFileIsNotLoaded) {
    const RawText r = loadRawText("/nonexistent-folder-tallix/x.log");
    EXPECT_FALSE(r.loaded);
    EXPECT_NE(r.errorNumber, 0);
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
    const auto dir = std::filesystem::temp_directory_path() / "tallix-facts-test";
    std::filesystem::create_directories(dir);
    const auto file = dir / "five.log";
    std::ofstream(file, std::ios::binary) << std::string(5000, 'x');
    const FileFactsResult ok = readFileFacts(file.string());
    ASSERT_TRUE(ok.facts.has_value());
    EXPECT_EQ(ok.facts->size, 5000u);
    EXPECT_FALSE(readFileFacts(dir.string()).facts.has_value());
    EXPECT_FALSE(readFileFacts((dir / "gone.log").string()).facts.has_value());
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace tallix::files
