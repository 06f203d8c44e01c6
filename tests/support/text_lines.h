#pragma once
// Log texts written short in the tests' tables.

#include <sstream>
#include <string>
#include <vector>

namespace tallix::testsupport {

// Joins lines, each followed by CR LF.
inline std::string crlfLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// "a|b||c" as the lines a, b, an empty one and c (a last empty line is lost).
inline std::vector<std::string> bars(const std::string& joined) {
    std::vector<std::string> out;
    std::istringstream in(joined);
    for (std::string part; std::getline(in, part, '|');)
        out.push_back(part);
    return out;
}

} // namespace tallix::testsupport
