#include "files/file_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/error_numbers.h"
#include "text/basic_text.h"

namespace tallix::files {

bool wildcardMatch(std::string_view pattern, std::string_view name, bool ignoreCase) {
    const auto same = [ignoreCase](char a, char b) {
        return ignoreCase ? text::asciiLower(a) == text::asciiLower(b) : a == b;
    };
    // Iterative matching with one backtrack point for the last "*".
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool matchesPattern(std::string_view name, std::string_view patterns) {
    while (true) {
        const std::size_t semi = patterns.find(';');
        if (wildcardMatch(patterns.substr(0, semi), name, true))
            return true;
        if (semi == std::string_view::npos)
            return false;
        patterns.remove_prefix(semi + 1);
    }
}

FolderListing listFolder(const std::string& folder, std::string_view patterns) {
    namespace fs = std::filesystem;
    FolderListing listing;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) {
        listing.errorNumber = base::errorNumberFromErrno(ec.value());
        return listing;
    }
    for (fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc))
            continue;
        std::string name = it->path().filename().string();
        if (matchesPattern(name, patterns))
            listing.names.push_back(std::move(name));
    }
    std::sort(listing.names.begin(), listing.names.end(), [](const auto& a, const auto& b) {
        const auto lower = [](std::string_view s) {
            std::string out(s);
            for (char& c : out)
                c = text::asciiLower(c);
            return out;
        };
        const std::string la = lower(a), lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    listing.ok = true;
    return listing;
}

SelectionCaptions selectionCaptions(const FileFacts& facts, const DateFormat& format) {
    const std::string kb = std::to_string(sizeKb(facts.size));
    return {"Size=" + kb + "Kb", "Created @ " + generalDateText(facts.modified, format) + "h",
            kb + "Kb", format.shortDate(facts.modified)};
}

} // namespace tallix::files
