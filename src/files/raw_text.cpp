#include "files/raw_text.h"

#include "app/error_numbers.h"
#include "app/startup.h"

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

float previewLineCount(std::string_view text) {
    // Every CR and every LF is a break, except the LF of a CR LF pair.
    const auto crs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    const auto lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    std::size_t pairs = 0;
    for (std::size_t cr = text.find('\r'); cr != std::string_view::npos;
         cr = text.find('\r', cr + 1))
        if (cr + 1 < text.size() && text[cr + 1] == '\n')
            ++pairs;
    return static_cast<float>(crs + lfs - pairs) - 1.0f;
}

RawText rawTextFromBytes(std::string bytes) {
    RawText r;
    r.loaded = true;
    if (looksLikeRtf(bytes)) {
        r.richText = true;
        r.document = readRtf(bytes);
        r.text = r.document.plainText();
    } else {
        r.text = std::move(bytes);
    }
    return r;
}

RawText loadRawText(const std::string& path) {
    errno = 0;
    auto bytes = app::readWholeFile(path);
    if (!bytes) {
        RawText r;
        r.errorNumber = app::errorNumberFromErrno(errno != 0 ? errno : EIO);
        return r;
    }
    return rawTextFromBytes(std::move(*bytes));
}

} // namespace tallix::files
