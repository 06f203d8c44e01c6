#pragma once
// A small JSON writer for the report: objects, arrays, strings, integers,
// floating-point numbers, true, false and null. Texts come in as the program keeps them,
// 8-bit Windows-1252 bytes, and go out as UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace tallix::report {

// A Windows-1252 text as a quoted JSON string: UTF-8, with quote and backslash
// escaped and every control character (NUL included) written as \u00XX.
std::string jsonQuoted(std::string_view cp1252Text);

// A number as JSON: a whole value reads as an integer ("240", "-1"), any other
// with `significantDigits` digits (9 round-trips a float, 17 a double). JSON
// has no NaN or infinity; such a value is written as null.
std::string jsonNumber(double value, int significantDigits);

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the open object.
    void key(std::string_view name);

    void string(std::string_view cp1252Text);
    void integer(long long value);
    void number(float value);  // with the digits of a float
    void number(double value); // with the digits of a double
    void boolean(bool value);
    void null();

    const std::string& text() const { return out_; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string out_;
    // One entry per open object or array: whether a member was written yet.
    std::vector<bool> hasMembers_;
    bool afterKey_ = false;
};

} // namespace tallix::report
