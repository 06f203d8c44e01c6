#include "app/own_call.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "row_name.h"

namespace tallix::app {
namespace {

struct AnswerRow : testsupport::NamedRow {
    std::string answer;
    std::optional<std::string> call;
};

const AnswerRow answerRows[] = {
    {"spaces only", "    ", ""},
    {"code page letters", "\xe9t\xe9\x9a", "\xc9T\xc9\x8a"},
};

class AnswerTest : public testing::TestWithParam<AnswerRow> {};

TEST_P(AnswerTest, NewCall) {
    EXPECT_EQ(acceptCallSignAnswer(GetParam().answer), GetParam().call);
}

INSTANTIATE_TEST_SUITE_P(Rows, AnswerTest, testing::ValuesIn(answerRows), testsupport::RowName());

// Title and default repeat the stored call, spaces included.
TEST(CallSignInputBox, RepeatsTheStoredCall) {
    EXPECT_EQ(
        callSignInputBox(" ab1cd  "),
        (base::InputBox{"Do you want to change the call sign to analyse (default read from the "
                        "KEST.INI file)?",
                        "Changing call sign  ab1cd  ", " ab1cd  "}));
}

} // namespace
} // namespace tallix::app
