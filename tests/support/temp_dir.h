#pragma once
// Scratch folders for the tests: a fresh folder that removes itself, the
// bytes of a file, and a scoped change of the current folder.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tallix::testsupport {

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
public:
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "tallix-test-XXXXXX").string();
        dir_ = ::mkdtemp(name.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& dir() const { return dir_; }
    std::string path(std::string_view name) const { return (dir_ / name).string(); }
    // Writes the bytes exactly as given and returns the file's path.
    std::string write(std::string_view name, std::string_view bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path(name);
    }

private:
    std::filesystem::path dir_;
};

inline std::string readBytes(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

// Makes `folder` the current folder until the end of the scope.
struct CurrentFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    explicit CurrentFolder(const std::filesystem::path& folder) {
        std::filesystem::current_path(folder);
    }
    ~CurrentFolder() {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
    }
};

} // namespace tallix::testsupport
