#include "text/cp1252.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tallix::text {

namespace {
// 0x80..0x9F; the five undefined bytes stand for the C1 control of their value.
constexpr std::array<char16_t, 32> High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct BestFit {
    char16_t codePoint;
    unsigned char byte;
};

// Every row of Windows' table, the exact ones included, by code point.
constexpr BestFit BestFits[] = {
#include "text/bestfit1252_rows.inc"
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}
} // namespace

char32_t cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return High[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicodeToCp1252(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<unsigned char>(codePoint);
    for (std::size_t i = 0; i < High.size(); ++i)
        if (High[i] == codePoint)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

unsigned char toCp1252BestFit(char32_t codePoint) {
    if (codePoint < 0x80)
        return static_cast<unsigned char>(codePoint);
    if (codePoint > 0xFFFF) // the table holds the basic plane only
        return '?';
    const auto it = std::lower_bound(
        std::begin(BestFits), std::end(BestFits), codePoint,
        [](const BestFit& row, char32_t cp) { return static_cast<char32_t>(row.codePoint) < cp; });
    return it != std::end(BestFits) && it->codePoint == codePoint ? it->byte : '?';
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out.push_back(c);
        else
            appendUtf8(out, cp1252ToUnicode(b));
    }
    return out;
}

std::u16string cp1252ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<char16_t>(cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

std::string utf16ToCp1252(std::u16string_view text) {
    std::string out;
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = unicodeToCp1252(text[i]);
        out[i] = b ? static_cast<char>(*b) : '?';
    }
    return out;
}

} // namespace tallix::text
