#pragma once
// The file list: the files of one folder that match "*.txt;*.log;*.rtf", and
// the facts a selection shows.

#include <string>
#include <string_view>
#include <vector>

#include "files/file_facts.h"

namespace tallix::files {

inline constexpr const char* FileListPattern = "*.txt;*.log;*.rtf";

// Whether a name matches one pattern: "*" any run of characters, "?" one
// character, everything else itself (ASCII letters in either case when
// `ignoreCase`).
bool wildcardMatch(std::string_view pattern, std::string_view name, bool ignoreCase);

// Whether a name matches one of the ";"-separated patterns ("*" any run of
// characters, "?" one character), without regard to ASCII letter case: the
// files come from a system whose names ignore case.
bool matchesPattern(std::string_view name, std::string_view patterns = FileListPattern);

struct FolderListing {
    bool ok = false;
    int errorNumber = 0;            // why the folder could not be read
    std::vector<std::string> names; // plain files only, sorted without regard to case
};
FolderListing listFolder(const std::string& folder, std::string_view patterns = FileListPattern);

// What a selection shows about the selected file.
struct SelectionCaptions {
    std::string sizeLabel;    // lblSize: "Size=5Kb"
    std::string createdLabel; // Label35: "Created @ <general date>h"
    std::string fileSize;     // lblFileSize: "5Kb"
    std::string date;         // lbldate: short date
};
SelectionCaptions selectionCaptions(const FileFacts& facts, const DateFormat& format);

} // namespace tallix::files
