#include "files/raw_text.h"

#include "base/error_numbers.h"
#include "base/whole_file.h"

#include <algorithm>
#include <cerrno>

namespace tallix::files {

bool isRtfPath(std::string_view path) {
    for (std::size_t i = 0; i + 4 <= path.size(); ++i) {
        if (path[i] == '.' && (path[i + 1] | 0x20) == 'r' && (path[i + 2] | 0x20) == 't' &&
            (path[i + 3] | 0x20) == 'f')
            return true;
    }
    return false;
}

bool looksLikeRtf(std::string_view bytes) {
    return bytes.substr(0, 5) == "{\\rtf";
}

std::size_t lineBreaks(std::string_view text) {
    // Every CR and every LF is a break, except the LF of a CR LF pair. Plain
    // counting loops, which the compiler turns into vector code.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < n; ++i)
        breaks += static_cast<std::size_t>(p[i] == '\r') + static_cast<std::size_t>(p[i] == '\n');
    std::size_t pairs = 0;
    for (std::size_t i = 1; i < n; ++i)
        pairs +=
            static_cast<std::size_t>(p[i - 1] == '\r') & static_cast<std::size_t>(p[i] == '\n');
    return breaks - pairs;
}

float previewLineCount(std::string_view text) {
    return static_cast<float>(lineBreaks(text)) - 1.0f;
}

RawText rawTextFromBytes(std::string bytes) {
    RawText r;
    r.loaded = true;
    if (looksLikeRtf(bytes)) {
        r.richText = true;
        r.document = readRtf(bytes);
        std::string().swap(bytes); // the markup is not needed any more
        r.text = r.document.plainText();
    } else {
        r.text = std::move(bytes);
    }
    return r;
}

RawText loadRawText(const std::string& path) {
    int errorNumber = 0;
    auto bytes = app::readWholeFile(path, &errorNumber);
    if (!bytes) {
        RawText r;
        r.errorNumber = errorNumber;
        return r;
    }
    return rawTextFromBytes(std::move(*bytes));
}

} // namespace tallix::files
