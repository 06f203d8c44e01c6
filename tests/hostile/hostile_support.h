#pragma once
// Helpers of the hostile-input tests: a snapshot of every file under a folder,
// to show that nothing was written to the inputs.

#include <filesystem>
#include <map>
#include <string>

#include "temp_dir.h"

namespace tallix::testsupport {

// Path to bytes of every regular file below `folder`.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_regular_file(ec))
            files[it->path().string()] = readBytes(it->path().string());
    return files;
}

} // namespace tallix::testsupport
