#pragma once
// The report's JSON: documents built with nlohmann's ordered JSON (members in
// the order they are added), written as one line. Texts come in as the
// program keeps them, 8-bit Windows-1252 bytes, and go out as UTF-8.

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace tallix::report {

using Json = nlohmann::ordered_json;

// A Windows-1252 text as a JSON string.
Json jsonText(std::string_view cp1252Text);

// A figure: a whole value as an integer ("240", "-1", never "240.0"), NaN and
// infinity, which JSON has no words for, as null, any other as a number.
Json jsonFigure(double value);

// The document as one line without spaces. Every control character (NUL
// included) is written as \u00XX, also the five the library would shorten
// to \b, \t, \n, \f and \r, as the report has always written them.
std::string jsonLine(const Json& document);

} // namespace tallix::report
