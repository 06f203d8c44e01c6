#pragma once
// Small string rules shared by the whole program. Texts are 8-bit byte strings
// (Windows-1252); every rule here works on bytes and never re-encodes.

#include <string>
#include <string_view>

namespace tallix::text {

// Leading and trailing blanks removed; only the space character counts as a
// blank (a tab is kept), as in every trim the program does.
std::string_view trimSpaces(std::string_view s);
std::string_view trimTrailingSpaces(std::string_view s);

// Upper case for Windows-1252 text: ASCII letters and the accented letters of
// the code page. Every other byte is kept.
std::string upperCase(std::string_view s);

// Lower case of ASCII letters only; enough for comparisons against ASCII words.
inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}

// The leading number of a short field, as a BASIC Val() reads it: blanks are
// skipped, an optional sign, digits and an optional fraction. A field that does
// not begin with a number reads 0.
double leadingNumber(std::string_view field);

// General decimal text of a single-precision value: whole numbers below ten
// million read as plain digits ("240", "-1"); other values read with up to
// seven significant digits, and from ten million on in exponent form
// ("1.677722E+07").
std::string singleText(float value);

// Control bytes (C0, DEL, the C1 controls of the code page's undefined bytes)
// as "\x1b" and the like, every other byte kept: so that nothing a log holds
// can steer a terminal or break a text it is written into.
std::string visibleBytes(std::string_view cp1252Text);

// Characters [start, start + count) of s counted from 1, clipped to s (BASIC Mid).
std::string_view mid(std::string_view s, std::size_t start, std::size_t count);
// The first n characters of s (BASIC Left).
std::string_view left(std::string_view s, std::size_t n);

} // namespace tallix::text
