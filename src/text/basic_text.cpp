#include "text/basic_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tallix::text {

std::string_view trimSpaces(std::string_view s) {
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = s.find_last_not_of(' ');
    return s.substr(first, last - first + 1);
}

std::string_view trimTrailingSpaces(std::string_view s) {
    const std::size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

namespace {
unsigned char upperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    // Accented small letters of Windows-1252 and their capitals.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A:
        return 0x8A; // s caron
    case 0x9C:
        return 0x8C; // oe
    case 0x9E:
        return 0x8E; // z caron
    case 0xFF:
        return 0x9F; // y diaeresis
    default:
        return c;
    }
}
} // namespace

std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(upperByte(static_cast<unsigned char>(c)));
    return out;
}

double leadingNumber(std::string_view field) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < field.size() && (field[i] == ' ' || field[i] == '\t' || field[i] == '\n'))
            ++i;
    };
    skipBlanks();
    double sign = 1;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
        sign = field[i] == '-' ? -1 : 1;
        ++i;
        skipBlanks();
    }
    double value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = value * 10 + (field[i] - '0');
    if (i < field.size() && field[i] == '.') {
        double scale = 0.1;
        for (++i; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i, scale /= 10)
            value += (field[i] - '0') * scale;
    }
    return sign * value;
}

std::string singleText(float value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    const double v = static_cast<double>(value);
    if (std::fabs(v) < 1e7 && v == std::trunc(v)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", v);
        return buf == std::string_view("-0") ? "0" : buf;
    }
    // Seven significant digits; exponent form from ten million on and for very
    // small values, with a signed two-digit exponent ("1.677722E+07").
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.7G", v);
    std::string s = buf;
    const std::size_t e = s.find('E');
    if (e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        if (mantissa.find('.') != std::string::npos) {
            while (!mantissa.empty() && mantissa.back() == '0')
                mantissa.pop_back();
            if (!mantissa.empty() && mantissa.back() == '.')
                mantissa.pop_back();
        }
        const int exponent = std::atoi(s.c_str() + e + 1);
        char expBuf[16];
        std::snprintf(expBuf, sizeof expBuf, "E%c%02d", exponent < 0 ? '-' : '+',
                      exponent < 0 ? -exponent : exponent);
        return mantissa + expBuf;
    }
    return s;
}

std::string_view mid(std::string_view s, std::size_t start, std::size_t count) {
    if (start == 0 || start > s.size())
        return {};
    return s.substr(start - 1, count);
}

std::string_view left(std::string_view s, std::size_t n) {
    return s.substr(0, n);
}

std::string visibleBytes(std::string_view cp1252Text) {
    std::string out;
    out.reserve(cp1252Text.size());
    for (const char c : cp1252Text) {
        const auto byte = static_cast<unsigned char>(c);
        // C0, DEL, and the five bytes the code page leaves undefined, which
        // stand for C1 controls (0x9D would open an operating-system command).
        const bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D ||
                             byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if (!control) {
            out.push_back(c);
            continue;
        }
        static constexpr char Hex[] = "0123456789abcdef";
        out += "\\x";
        out.push_back(Hex[byte >> 4]);
        out.push_back(Hex[byte & 15]);
    }
    return out;
}

} // namespace tallix::text
