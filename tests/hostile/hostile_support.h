#pragma once
// Helpers of the hostile-input tests: a snapshot of every file under a folder,
// to show that nothing was written to the inputs, and a scoped change of the
// current folder for runs that write "rtftemp.tmp" there.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "analysis/test_support.h"

namespace tallix::testsupport {

// Path (relative to the folder) to bytes of every regular file below it.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc) && !it->is_symlink(typeEc))
            files[fs::relative(it->path(), folder).string()] = readBytes(it->path().string());
    }
    return files;
}

// Makes `folder` the current folder until the end of the scope.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path previous_;
};

// A literal's bytes, NULs included.
template <std::size_t N> std::string bytesOf(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

} // namespace tallix::testsupport
