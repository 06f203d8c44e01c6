#include "analysis/intake.h"

#include <gtest/gtest.h>

#include <map>

#include "row_name.h"
#include "temp_dir.h"

namespace tallix::analysis {
namespace {

using testsupport::TempDir;

// Twelve lines "line i", with the lines given replaced.
std::string fileWith(std::map<int, std::string> set, int n = 12) {
    std::string out;
    for (int i = 1; i <= n; ++i)
        out += (set.count(i) ? set[i] : "line " + std::to_string(i)) + "\r\n";
    return out;
}

// The same with "1:Fm A" on the lines given.
std::string colonFm(std::vector<int> at, int n = 12) {
    std::map<int, std::string> set;
    for (const int i : at)
        set[i] = "1:Fm A";
    return fileWith(set, n);
}

struct KindRow : testsupport::NamedRow {
    std::string content;
    FileKind kind;
};

const KindRow kindRows[] = {
    {"report header", fileWith({{1, "Report Kest v3.2"}}), FileKind::HeaderOrFm},
    {"kest header", fileWith({{1, "Kest log"}}), FileKind::HeaderOrFm},
    {"kest header in lower case", fileWith({{1, "kest"}}), FileKind::Unrecognised},
    {"fm on line 6", fileWith({{6, "Fmx"}}), FileKind::HeaderOrFm},
    {"fm on line 1 is not looked at", fileWith({{1, "Fm AB1CD To CQ"}}), FileKind::Unrecognised},
    {"fm first on line 7", fileWith({{7, "Fm A"}, {8, "Fm B"}}), FileKind::Unrecognised},
    {"fm in other case", fileWith({{3, "fm A"}, {4, "FM A"}}), FileKind::Unrecognised},
    {"colon fm on line 7", colonFm({7}), FileKind::ColonFm},
    {"colon fm on line 11", colonFm({11}), FileKind::ColonFm},
    {"colon fm on line 12 is too late", colonFm({12}, 14), FileKind::Unrecognised},
    {"colon fm on lines 2 to 6 only", colonFm({2, 3, 4, 5, 6}), FileKind::Unrecognised},
    {"colon fm on lines 2 to 6 and 9", colonFm({2, 3, 4, 5, 6, 9}), FileKind::ColonFm},
    {"colon fm is exact", fileWith({{8, "12:Fm A"}, {9, "1:fm A"}}), FileKind::Unrecognised},
    {"fm wins over colon fm", fileWith({{3, "Fm A"}, {8, "1:Fm A"}}), FileKind::HeaderOrFm},
    // A read past the end keeps the last line, which is examined again.
    {"second of two lines begins with fm", "hello\r\nFm AB1CD To CQ", FileKind::HeaderOrFm},
    {"one colon fm line", "1:Fm AB1CD To CQ\r\n", FileKind::ColonFm},
    {"empty file", "", FileKind::Unrecognised},
};

class ValidateTest : public testing::TestWithParam<KindRow> {};

TEST_P(ValidateTest, RecognisesKestFiles) {
    TempDir dir;
    EXPECT_EQ(validateLogFile(dir.write("log.txt", GetParam().content)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Rows, ValidateTest, testing::ValuesIn(kindRows), testsupport::RowName());

std::vector<std::string> linesOf(const LineStore& store) {
    std::vector<std::string> lines;
    for (std::int32_t i = 1; i <= store.storedCount(); ++i)
        lines.emplace_back(store.line(i));
    return lines;
}

// Reading a file and cutting a text in memory store the same lines, and neither
// keeps anything of an earlier file. Past the limit every line is counted.
TEST(Load, FileAndTextGiveTheSameLines) {
    std::string over;
    for (int i = 1; i <= 65003; ++i)
        over += "line " + std::to_string(i) + "  \r\n";
    const std::tuple<std::string, std::optional<int>, std::int32_t> rows[] = {
        {std::string("a  \rb\t \r\nc\nd\r\r\n\xe9\x00z  ", 20), std::nullopt, 5},
        {"", std::nullopt, 0},
        {over, FailureLineLimit, 65003}};
    TempDir dir;
    for (const auto& [content, failure, count] : rows) {
        LineStore fromFile, fromText;
        fromFile.add("stale");
        fromText.add("stale");
        EXPECT_EQ(loadLines(dir.write("log.txt", content), fromFile), failure);
        EXPECT_EQ(loadLinesFromText(std::make_shared<const std::string>(content), fromText),
                  failure);
        EXPECT_EQ(fromFile.count(), count);
        EXPECT_EQ(fromText.count(), count);
        EXPECT_EQ(linesOf(fromFile), linesOf(fromText));
    }
}

TEST(Preprocess, DropsWhatStandsBeforeAnEarlyFm) {
    const struct {
        const char* line;
        std::size_t cut;
    } rows[] = {{"1:Fm AB1CD To CQ", 2}, {"xFm A", 1},  {"Fm AB1CD To CQ", 0}, {" 1:Fm A", 0},
                {"12:Fm A", 0},          {"1:fm A", 0}, {"FmFm x", 2}};
    for (const auto& row : rows)
        EXPECT_EQ(preprocessCut(row.line), row.cut) << row.line;
}

TEST(IntakeMessages, PromptAndFailures) {
    EXPECT_EQ(
        unrecognisedFilePrompt(),
        (base::MessageBox{"The file seems not to be a Kest report or Kest log file.\r"
                          "Allow this file for processing?",
                          "Open Kest Report", base::Buttons::YesNo, base::Icon::Exclamation}));
    const std::string path = "C:\\Kest\\Logs\\big log.txt";
    for (const int code : {9, 6})
        EXPECT_EQ(failureMessage(code, path),
                  (base::MessageBox{"Length of the file C:\\Kest\\Logs\\big log.txt is to long.\r\n"
                                    "Tallix is limited to 65000 lines, so please try to reduce the "
                                    "file size by slpitting the file into separate parts.",
                                    "File length to large, err nr:" + std::to_string(code),
                                    base::Buttons::Ok, base::Icon::Information}));
}

} // namespace
} // namespace tallix::analysis
