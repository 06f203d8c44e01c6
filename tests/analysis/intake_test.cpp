#include "analysis/intake.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

using testsupport::crlfLines;
using testsupport::TempDir;

// ---- which files count as Kest logs or reports ----

struct KindRow {
    const char* name;
    std::string content;
    FileKind kind;
};

std::vector<std::string> numbered(int from, int to, const std::string& text) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back(text + std::to_string(i));
    return out;
}

// Lines 1..n of "line i", with the lines given in `set` replaced.
std::string fileWith(int n, std::vector<std::pair<int, std::string>> set) {
    std::vector<std::string> lines = numbered(1, n, "line ");
    for (auto& [i, text] : set)
        lines[static_cast<std::size_t>(i - 1)] = text;
    return crlfLines(lines);
}

std::string colonLines(int from, int to, int n) {
    std::vector<std::pair<int, std::string>> set;
    for (int i = from; i <= to; ++i)
        set.emplace_back(i, "1:Fm AB1CD To CQ");
    return fileWith(n, set);
}

const KindRow kindRows[] = {
    {"report header", fileWith(12, {{1, "Report Kest v3.2"}}), FileKind::HeaderOrFm},
    {"kest header", fileWith(12, {{1, "Kest"}}), FileKind::HeaderOrFm},
    {"kest header with more", fileWith(12, {{1, "Kest log of 12 May"}}), FileKind::HeaderOrFm},
    {"report header lower case", fileWith(12, {{1, "report kest"}}), FileKind::Unrecognised},
    {"kest header lower case", fileWith(12, {{1, "kest"}}), FileKind::Unrecognised},
    {"kest header after a space", fileWith(12, {{1, " Kest"}}), FileKind::Unrecognised},
    {"report header cut short", fileWith(12, {{1, "Report Kes"}}), FileKind::Unrecognised},
    {"fm on line 2", fileWith(12, {{2, "Fm AB1CD To CQ"}}), FileKind::HeaderOrFm},
    {"fm on line 4", fileWith(12, {{4, "Fm AB1CD To CQ"}}), FileKind::HeaderOrFm},
    {"fm on line 6", fileWith(12, {{6, "Fmx"}}), FileKind::HeaderOrFm},
    {"fm on line 1 of a long file is not looked at", fileWith(12, {{1, "Fm AB1CD To CQ"}}),
     FileKind::Unrecognised},
    {"fm first on line 7", fileWith(12, {{7, "Fm AB1CD To CQ"}}), FileKind::Unrecognised},
    {"fm lines from line 8 on", fileWith(12, {{8, "Fm A"}, {9, "Fm B"}, {10, "Fm C"}}),
     FileKind::Unrecognised},
    {"fm in other case", fileWith(12, {{3, "fm AB1CD"}, {4, "FM AB1CD"}, {5, "fM x"}}),
     FileKind::Unrecognised},
    {"colon fm on lines 2 to 6 only", colonLines(2, 6, 12), FileKind::Unrecognised},
    {"colon fm on line 7", colonLines(7, 7, 12), FileKind::ColonFm},
    {"colon fm on line 9", colonLines(9, 9, 12), FileKind::ColonFm},
    {"colon fm on line 11", colonLines(11, 11, 12), FileKind::ColonFm},
    {"colon fm on line 12 is too late", colonLines(12, 12, 14), FileKind::Unrecognised},
    {"colon fm needs the colon at character 2",
     fileWith(12, {{8, "12:Fm AB1CD To CQ"}, {9, ":Fm AB1CD"}}), FileKind::Unrecognised},
    {"colon fm is exact case", fileWith(12, {{8, "1:fm AB1CD"}, {9, "1:FM AB1CD"}}),
     FileKind::Unrecognised},
    {"fm wins over colon fm", fileWith(12, {{3, "Fm AB1CD"}, {8, "1:Fm AB1CD"}}),
     FileKind::HeaderOrFm},
    {"two lines, second begins with fm", crlfLines({"hello", "Fm AB1CD To CQ"}),
     FileKind::HeaderOrFm},
    {"two lines, second without line end", "hello\r\nFm AB1CD To CQ", FileKind::HeaderOrFm},
    {"one line beginning with fm is read again", crlfLines({"Fm AB1CD To CQ"}),
     FileKind::HeaderOrFm},
    {"one line beginning with colon fm is read again", crlfLines({"1:Fm AB1CD To CQ"}),
     FileKind::ColonFm},
    {"three lines, last colon fm is read again", crlfLines({"a", "b", "1:Fm AB1CD To CQ"}),
     FileKind::ColonFm},
    {"one plain line", crlfLines({"hello"}), FileKind::Unrecognised},
    {"empty file", "", FileKind::Unrecognised},
    {"lone cr ends lines", "hello\rworld\rFm AB1CD To CQ\r", FileKind::HeaderOrFm},
    {"lone lf does not end a line", "hello\nFm AB1CD To CQ\nx\n", FileKind::Unrecognised},
};

class ValidateTest : public testing::TestWithParam<KindRow> {};

TEST_P(ValidateTest, RecognisesKestFiles) {
    TempDir dir;
    const auto path = dir.write("log.txt", GetParam().content);
    EXPECT_EQ(validateLogFile(path), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Rows, ValidateTest, testing::ValuesIn(kindRows), testsupport::RowName());

TEST(Validate, ColonFmOnLines2To6AndLine9IsRecognised) {
    TempDir dir;
    std::vector<std::pair<int, std::string>> set;
    for (int i = 2; i <= 6; ++i)
        set.emplace_back(i, std::to_string(i) + ":Fm AB1CD To CQ");
    auto withoutNine = fileWith(12, set);
    set.emplace_back(9, "9:Fm AB1CD To CQ");
    auto withNine = fileWith(12, set);
    EXPECT_EQ(validateLogFile(dir.write("a.txt", withNine)), FileKind::ColonFm);
    EXPECT_EQ(validateLogFile(dir.write("b.txt", withoutNine)), FileKind::Unrecognised);
}

TEST(Validate, UnreadableFileIsUnrecognised) {
    TempDir dir;
    EXPECT_EQ(validateLogFile(dir.path("no such file.txt")), FileKind::Unrecognised);
    // A folder by the name cannot be read as a file.
    std::filesystem::create_directory(dir.dir() / "Kest");
    EXPECT_EQ(validateLogFile(dir.path("Kest")), FileKind::Unrecognised);
}

// ---- loading lines ----

struct LoadRow {
    const char* name;
    std::string content;
    std::vector<std::string> lines;
};

const LoadRow loadRows[] = {
    {"crlf", "a\r\nb\r\n", {"a", "b"}},
    {"lone cr", "a\rb\r", {"a", "b"}},
    {"mixed ends", "a\rb\r\nc", {"a", "b", "c"}},
    {"lone lf stays in the line", "a\nb\r\nc\n", {"a\nb", "c\n"}},
    {"last line without break", "a\r\nlast", {"a", "last"}},
    {"empty file", "", {}},
    {"one empty line", "\r\n", {""}},
    {"empty lines kept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
    {"cr before crlf gives an empty line", "a\r\r\nb", {"a", "", "b"}},
    {"trailing spaces removed", "a   \r\n   \r\n b \r\n", {"a", "", " b"}},
    {"trailing tab kept", "a\t\r\nb \t \r\n", {"a\t", "b \t"}},
    {"eight bit bytes kept",
     std::string("\xe9t\xe9 \x00z\r\n\xff", 9),
     {std::string("\xe9t\xe9 \x00z", 6), "\xff"}},
};

class LoadTest : public testing::TestWithParam<LoadRow> {};

void expectStore(const LineStore& store, const std::vector<std::string>& lines) {
    ASSERT_EQ(store.count(), static_cast<std::int32_t>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(store.line(static_cast<std::int32_t>(i + 1)), lines[i]) << "line " << i + 1;
}

TEST_P(LoadTest, CutsAndStoresLines) {
    TempDir dir;
    const auto& row = GetParam();
    LineStore store;
    // Something left from an earlier file must not survive.
    store.add("stale");
    store.add("stale too");
    EXPECT_EQ(loadLines(dir.write("log.txt", row.content), store), std::nullopt);
    expectStore(store, row.lines);

    LineStore fromText;
    EXPECT_EQ(loadLinesFromText(std::make_shared<const std::string>(row.content), fromText),
              std::nullopt);
    expectStore(fromText, row.lines);
}

INSTANTIATE_TEST_SUITE_P(Rows, LoadTest, testing::ValuesIn(loadRows), testsupport::RowName());

std::string manyLines(int n) {
    std::string out;
    for (int i = 1; i <= n; ++i)
        out += "line " + std::to_string(i) + "  \r\n";
    return out;
}

TEST(Load, LineLimit) {
    TempDir dir;
    LineStore store;
    EXPECT_EQ(loadLines(dir.write("full.txt", manyLines(65000)), store), std::nullopt);
    EXPECT_EQ(store.count(), 65000);
    EXPECT_EQ(store.line(65000), "line 65000");

    const std::string over = manyLines(65001);
    EXPECT_EQ(loadLines(dir.write("over.txt", over), store), FailureLineLimit);
    EXPECT_EQ(store.count(), 65001);
    EXPECT_EQ(store.line(1), "line 1");
    EXPECT_EQ(store.line(65000), "line 65000");

    LineStore fromText;
    EXPECT_EQ(loadLinesFromText(std::make_shared<const std::string>(over), fromText),
              FailureLineLimit);
    EXPECT_EQ(fromText.count(), 65001);
}

TEST(Load, MissingFileGivesAFileFailure) {
    TempDir dir;
    LineStore store;
    const auto code = loadLines(dir.path("missing.txt"), store);
    ASSERT_TRUE(code.has_value());
    EXPECT_GT(*code, 0);
    EXPECT_NE(*code, FailureLineLimit);
    EXPECT_NE(*code, FailureOverflow);
    EXPECT_EQ(store.count(), 0);

    std::filesystem::create_directory(dir.dir() / "folder.txt");
    const auto folder = loadLines(dir.path("folder.txt"), store);
    ASSERT_TRUE(folder.has_value());
    EXPECT_GT(*folder, 0);
    EXPECT_NE(*folder, FailureLineLimit);
    EXPECT_NE(*folder, FailureOverflow);
}

// ---- pre-processing ----

struct CutRow {
    const char* name;
    std::string line;
    std::size_t cut;
};

const CutRow cutRows[] = {
    {"digit and colon", "1:Fm AB1CD To CQ", 2},
    {"one character", "xFm AB1CD To CQ", 1},
    {"at the start", "Fm AB1CD To CQ", 0},
    {"space digit colon", " 1:Fm AB1CD To CQ", 0},
    {"two digits and colon", "12:Fm AB1CD To CQ", 0},
    {"no space after fm", "1:Fm", 0},
    {"fm in other case", "1:fm AB1CD", 0},
    {"first fm without space", "FmFm x", 2},
    {"empty", "", 0},
    {"short", "ab", 0},
};

class CutTest : public testing::TestWithParam<CutRow> {};

TEST_P(CutTest, DropsWhatStandsBeforeFm) {
    EXPECT_EQ(preprocessCut(GetParam().line), GetParam().cut);
}

INSTANTIATE_TEST_SUITE_P(Rows, CutTest, testing::ValuesIn(cutRows), testsupport::RowName());

// ---- messages ----

TEST(IntakeMessages, UnrecognisedFilePrompt) {
    const app::MessageBox box = unrecognisedFilePrompt();
    EXPECT_EQ(box.text, "The file seems not to be a Kest report or Kest log file.\r"
                        "Allow this file for processing?");
    EXPECT_EQ(box.title, "Open Kest Report");
    EXPECT_EQ(box.buttons, app::Buttons::YesNo);
    EXPECT_EQ(box.icon, app::Icon::Exclamation);
}

TEST(IntakeMessages, FailureMessages) {
    const std::string path = "C:\\Kest\\Logs\\big log.txt";
    const std::string tooLong =
        "Length of the file C:\\Kest\\Logs\\big log.txt is to long.\r\nTallix is limited to 65000 "
        "lines, so please try to reduce the file size by slpitting the file into separate parts.";

    const app::MessageBox limit = failureMessage(9, path);
    EXPECT_EQ(limit.text, tooLong);
    EXPECT_EQ(limit.title, "File length to large, err nr:9");
    EXPECT_EQ(limit.buttons, app::Buttons::Ok);
    EXPECT_EQ(limit.icon, app::Icon::Information);

    const app::MessageBox overflow = failureMessage(6, path);
    EXPECT_EQ(overflow.text, tooLong);
    EXPECT_EQ(overflow.title, "File length to large, err nr:6");
    EXPECT_EQ(overflow.icon, app::Icon::Information);

    const app::MessageBox open = failureMessage(53, path);
    EXPECT_EQ(open.text, "An error has occured when opening the file C:\\Kest\\Logs\\big log.txt");
    EXPECT_EQ(open.title, "Error nr: 53");
    EXPECT_EQ(open.buttons, app::Buttons::Ok);
    EXPECT_EQ(open.icon, app::Icon::Exclamation);
}

} // namespace
} // namespace tallix::analysis
