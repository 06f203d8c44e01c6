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
    {"colon fm on line 11", fileWith({{11, "1:Fm A"}}), FileKind::ColonFm},
    {"colon fm on line 12 is too late", fileWith({{12, "1:Fm A"}}, 14), FileKind::Unrecognised},
    {"colon fm is exact", fileWith({{8, "12:Fm A"}, {9, "1:fm A"}}), FileKind::Unrecognised},
    {"fm wins over colon fm", fileWith({{3, "Fm A"}, {8, "1:Fm A"}}), FileKind::HeaderOrFm},
    // A read past the end keeps the last line, which is examined again.
    {"second of two lines begins with fm", "hello\r\nFm AB1CD To CQ", FileKind::HeaderOrFm},
};

class ValidateTest : public testing::TestWithParam<KindRow> {};

TEST_P(ValidateTest, RecognisesKestFiles) {
    TempDir dir;
    EXPECT_EQ(validateLogFile(dir.write("log.txt", GetParam().content)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Rows, ValidateTest, testing::ValuesIn(kindRows), testsupport::RowName());

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
