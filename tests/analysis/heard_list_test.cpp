#include "analysis/heard_list.h"

#include <gtest/gtest.h>

#include <string>

#include "text_lines.h"

namespace tallix::analysis {
namespace {

using testsupport::bars;

// Letters compared without case, digits before letters, a shorter text before a
// longer one that begins with it; same letters in other case in byte order.
TEST(HeardSort, LettersWithoutCaseThenBytes) {
    EXPECT_EQ(sortedHeard(bars("b|ab1cd|AB1CD|K1|1K|AB1|Ab1cd||B|b")),
              bars("|1K|AB1|AB1CD|Ab1cd|ab1cd|B|b|b|K1"));
}

TEST(HeardClipboard, EachTrimmedEntryFollowedByAComma) {
    EXPECT_EQ(heardClipboardText({" AB1CD  ", "", "AB1CD>QRST,"}), "AB1CD,,AB1CD>QRST,,");
}

} // namespace
} // namespace tallix::analysis
