#include "text/basic_text.h"

#include <gtest/gtest.h>

#include <string>

#include "row_name.h"

namespace tallix::text {
namespace {

struct SingleRow : testsupport::NamedRow {
    float value;
    const char* expected;
};

class SingleTextTest : public testing::TestWithParam<SingleRow> {};

TEST_P(SingleTextTest, ReadsAsTheFigureIsShown) {
    EXPECT_EQ(singleText(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SingleTextTest,
    testing::Values(SingleRow{"MinusOne", -1.0f, "-1"},
                    SingleRow{"LargestPlain", 9999999.0f, "9999999"},
                    SingleRow{"TenMillion", 10000000.0f, "1E+07"},
                    // 16777217 is not a single; it reads as its nearest, 16777216.
                    SingleRow{"BeyondSinglePrecision", 16777217.0f, "1.677722E+07"},
                    SingleRow{"Third", 1.0f / 3, "0.3333333"}),
    testsupport::RowName());

// Trimming takes spaces only; upper case covers the code page's letters (e
// acute, o diaeresis, s caron, y diaeresis), the division sign stays.
TEST(BasicText, TrimAndUpperCase) {
    EXPECT_EQ(trimSpaces("  AB1CD \t "), "AB1CD \t");
    EXPECT_EQ(trimSpaces("   "), "");
    EXPECT_EQ(trimTrailingSpaces("Fm X  \t  "), "Fm X  \t");
    EXPECT_EQ(trimTrailingSpaces(" lead"), " lead");
    EXPECT_EQ(upperCase("pd9tlx-1"), "PD9TLX-1");
    EXPECT_EQ(upperCase("\xE9\xF6\x9A\xFF\xF7"), "\xC9\xD6\x8A\x9F\xF7");
}

} // namespace
} // namespace tallix::text
