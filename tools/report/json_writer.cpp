#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "text/cp1252.h"

namespace tallix::report {

std::string jsonQuoted(std::string_view cp1252Text) {
    const std::string utf8 = text::cp1252ToUtf8(cp1252Text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out.push_back('"');
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            static constexpr char Hex[] = "0123456789abcdef";
            out += "\\u00";
            out.push_back(Hex[byte >> 4]);
            out.push_back(Hex[byte & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::string jsonNumber(double value, int significantDigits) {
    if (!std::isfinite(value))
        return "null";
    char buf[64];
    // Whole values up to 2^53 are exact in a double and print as integers;
    // "-0" reads as 0.
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
    else
        std::snprintf(buf, sizeof buf, "%.*g", significantDigits, value);
    return buf;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMembers_.empty()) {
        if (hasMembers_.back())
            out_.push_back(',');
        hasMembers_.back() = true;
    }
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_.push_back(bracket);
    hasMembers_.push_back(false);
}

void JsonWriter::close(char bracket) {
    out_.push_back(bracket);
    if (!hasMembers_.empty())
        hasMembers_.pop_back();
}

void JsonWriter::beginObject() {
    open('{');
}
void JsonWriter::endObject() {
    close('}');
}
void JsonWriter::beginArray() {
    open('[');
}
void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    out_ += jsonQuoted(name);
    out_.push_back(':');
    afterKey_ = true;
}

void JsonWriter::string(std::string_view cp1252Text) {
    beforeValue();
    out_ += jsonQuoted(cp1252Text);
}

void JsonWriter::integer(long long value) {
    beforeValue();
    out_ += std::to_string(value);
}

void JsonWriter::number(float value) {
    beforeValue();
    out_ += jsonNumber(static_cast<double>(value), 9);
}

void JsonWriter::number(double value) {
    beforeValue();
    out_ += jsonNumber(value, 17);
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_ += value ? "true" : "false";
}

void JsonWriter::null() {
    beforeValue();
    out_ += "null";
}

} // namespace tallix::report
