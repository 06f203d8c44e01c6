#include "app/own_call.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "analysis/test_support.h"

namespace tallix::app {
namespace {

struct AnswerRow {
    const char* name;
    std::string answer;
    std::optional<std::string> call;
};

const AnswerRow answerRows[] = {
    {"cancel or emptied field", "", std::nullopt},
    {"spaces only", "    ", ""},
    {"trimmed and upper cased", "  ab1cd   ", "AB1CD"},
    {"letters digits and hyphen", "ab1cd-7", "AB1CD-7"},
    {"already upper case", "AB1CD", "AB1CD"},
    {"inner space kept", "ab 1cd", "AB 1CD"},
    {"tab is not trimmed", "\tab1cd", "\tAB1CD"},
    {"accented letters", "\xe9t\xe9", "\xc9T\xc9"},
    {"code page letters", "\x9a\x9c\x9e\xff", "\x8a\x8c\x8e\x9f"},
    {"signs without upper case kept", "\xdf\xf7\xb5", "\xdf\xf7\xb5"},
};

class AnswerTest : public testing::TestWithParam<AnswerRow> {};

TEST_P(AnswerTest, NewCall) {
    EXPECT_EQ(acceptCallSignAnswer(GetParam().answer), GetParam().call);
}

INSTANTIATE_TEST_SUITE_P(Rows, AnswerTest, testing::ValuesIn(answerRows), testsupport::RowName());

TEST(CallSignInputBox, RepeatsTheStoredCall) {
    const InputBox box = callSignInputBox(" ab1cd  ");
    EXPECT_EQ(box.prompt, "Do you want to change the call sign to analyse (default read from the "
                          "KEST.INI file)?");
    EXPECT_EQ(box.title, "Changing call sign  ab1cd  ");
    EXPECT_EQ(box.defaultText, " ab1cd  ");

    const InputBox empty = callSignInputBox("");
    EXPECT_EQ(empty.title, "Changing call sign ");
    EXPECT_EQ(empty.defaultText, "");
}

// Confirming the default unchanged still tidies a call read from the settings.
TEST(CallSignInputBox, DefaultConfirmedIsTidied) {
    const InputBox box = callSignInputBox("ab1cd  ");
    EXPECT_EQ(acceptCallSignAnswer(box.defaultText), "AB1CD");
}

} // namespace
} // namespace tallix::app
