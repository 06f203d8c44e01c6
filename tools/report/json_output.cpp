#include "json_output.h"

#include <cmath>
#include <cstdint>

#include "text/cp1252.h"

namespace tallix::report {

Json jsonText(std::string_view cp1252Text) {
    return text::cp1252ToUtf8(cp1252Text);
}

Json jsonFigure(double value) {
    if (!std::isfinite(value))
        return nullptr;
    // Whole values up to 2^53 are exact in a double; "-0" reads as 0.
    if (value == std::trunc(value) && std::fabs(value) < 9007199254740992.0)
        return static_cast<std::int64_t>(value);
    return value;
}

std::string jsonLine(const Json& document) {
    const std::string dumped = document.dump();
    std::string out;
    out.reserve(dumped.size());
    // Outside strings the library writes no backslash; inside, one always
    // starts an escape of at least two characters.
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        if (dumped[i] != '\\' || i + 1 == dumped.size()) {
            out.push_back(dumped[i]);
            continue;
        }
        const char escaped = dumped[++i];
        const char* code = escaped == 'b'   ? "0008"
                           : escaped == 't' ? "0009"
                           : escaped == 'n' ? "000a"
                           : escaped == 'f' ? "000c"
                           : escaped == 'r' ? "000d"
                                            : nullptr;
        out.push_back('\\');
        if (code) {
            out.push_back('u');
            out += code;
        } else {
            out.push_back(escaped);
        }
    }
    return out;
}

} // namespace tallix::report
