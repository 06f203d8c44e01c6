#include "files/file_facts.h"
#include "files/raw_text.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_dir.h"

namespace tallix::files {
namespace {

// The line figure counts breaks minus one; the longest line decides whether a
// pane can lay a text out.
TEST(RawText, LineFigureAndLongestLine) {
    const struct {
        const char* name;
        std::string text;
        float lineFigure;
        std::size_t longest;
    } rows[] = {{"each line ending with a break", "a\r\nbc\r\n", 1, 2},
                {"empty", "", -1, 0},
                {"CR LF ends one line, lone CR and LF each end one", "ab\r\ncde\rx\nyz", 2, 3},
                {"last line without a break", "a\r\nabcde", 0, 5}};
    for (const auto& row : rows) {
        EXPECT_EQ(previewLineCount(row.text), row.lineFigure) << row.name;
        EXPECT_EQ(longestLine(row.text), row.longest) << row.name;
    }
}

// A text too large to show is not held; its line figure is still exact where
// a CR LF is cut between two of the pieces it is read in. (The window's panes
// test the notice for plain and rich text.)
TEST(RawText, PreviewOfAFileTooLargeToShowCountsItsLinesInPieces) {
    const testsupport::TempDir dir;
    std::string bytes = std::string((1 << 20) - 1, 'a') + "\r\n";
    std::size_t lines = 1;
    for (; bytes.size() <= LargestPaneText; ++lines)
        bytes += std::string(98, 'b') + "\r\n";
    int readings = 0;
    const Preview shown = loadPreview(dir.write("big.log", bytes), [&] { ++readings; });
    EXPECT_FALSE(shown.textHeld);
    EXPECT_TRUE(shown.raw.text.empty());
    EXPECT_EQ(shown.lineCount, static_cast<float>(lines - 1));
    EXPECT_GE(readings, 8);
}

// Any ".rtf" in the path, in any case: a folder name counts, and so does the middle of a name.
TEST(RawText, RichTextFlagComesFromThePathAlone) {
    for (const char* rtf : {"/l/P.RTF", "/o.rtf/p.log", "/a.rtf.txt"})
        EXPECT_TRUE(isRtfPath(rtf)) << rtf;
    for (const char* other : {"/p.rt", "/prtf.txt"})
        EXPECT_FALSE(isRtfPath(other)) << other;
}

TEST(FileFacts, SizeInKilobytesAlwaysAddsOne) {
    const std::pair<std::uint64_t, std::uint64_t> rows[] = {{0, 1}, {1023, 1}, {1024, 2}};
    for (const auto& [bytes, kb] : rows)
        EXPECT_EQ(sizeKb(bytes), kb) << bytes;
}

TEST(FileFacts, GeneralDateLeavesOutMidnight) {
    const DateFormat f = defaultDateFormat();
    EXPECT_EQ(generalDateText({2026, 12, 6, 14, 5, 9}, f), "2026-12-06 14:05:09");
    EXPECT_EQ(generalDateText({2026, 12, 6, 0, 0, 0}, f), "2026-12-06");
    EXPECT_EQ(generalDateText({2026, 12, 6, 0, 0, 1}, f), "2026-12-06 00:00:01");
}

// (The window shows an ordinary file's facts.)
TEST(FileFacts, RefusesAFolderAndAMissingFile) {
    const testsupport::TempDir dir;
    EXPECT_FALSE(readFileFacts(dir.dir().string()).facts.has_value());
    EXPECT_FALSE(readFileFacts(dir.path("gone.log")).facts.has_value());
}

} // namespace
} // namespace tallix::files
