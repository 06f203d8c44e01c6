#pragma once
// Windows-1252, the code page of the station's files. Bytes are kept as they
// are everywhere; these conversions exist only to show a text to a person or
// to write it into a UTF-8 report.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallix::text {

// The Unicode code point a byte stands for. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so every byte round-trips.
char32_t cp1252ToUnicode(unsigned char byte);

// The byte for a code point, or nothing when the code page has no such character.
std::optional<unsigned char> unicodeToCp1252(char32_t codePoint);

// The byte Windows gives a code point when it turns text into this code page:
// the exact byte, else its best fit ("\u2011" non-breaking hyphen gives '-',
// fullwidth "\uFF21" gives 'A'), else '?'. The best fits are Windows' own,
// from the table the Unicode consortium publishes.
unsigned char toCp1252BestFit(char32_t codePoint);

// Whole-text conversions.
std::string cp1252ToUtf8(std::string_view bytes);
std::u16string cp1252ToUtf16(std::string_view bytes);
// Characters without a byte in the code page become '?'.
std::string utf16ToCp1252(std::u16string_view text);

} // namespace tallix::text
