#include "text/cp1252.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tallix::text {
namespace {

// Every byte back from Unicode, from UTF-16 and from the best fit.
TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = cp1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(unicodeToCp1252(cp), std::optional<unsigned char>(b)) << b;
        EXPECT_EQ(toCp1252BestFit(cp), b) << b;
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(all)), all);
    EXPECT_EQ(utf16ToCp1252(u"\u4E2D"), "?");
}

TEST(Cp1252, ConvertsToUtf8) {
    EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(cp1252ToUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, BestFitAsWindowsHasIt) {
    const std::pair<char32_t, unsigned char> rows[] = {
        {0xFF5E, '~'},  // fullwidth tilde, the table's last row
        {0x0141, 'L'},  // L with stroke
        {0x20A1, 0xA2}, // colon sign, out of order in the published table
        {0x2009, '?'},  // thin space: no best fit
    };
    for (const auto& [codePoint, byte] : rows)
        EXPECT_EQ(toCp1252BestFit(codePoint), byte)
            << std::hex << static_cast<std::uint32_t>(codePoint);
}

} // namespace
} // namespace tallix::text
