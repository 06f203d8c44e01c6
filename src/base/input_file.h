#pragma once
// Opening a file to read it whole: only a regular file is read. A folder, a
// pipe, a socket or a device is refused before a single byte is read, and
// opening never waits for a pipe's writer.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallix::base {

// Error numbers of a path that is not a regular file: a folder gives 75, any
// other kind (pipe, socket, device) 52.
inline constexpr int NotAFileFolder = 75;
inline constexpr int NotAFileOther = 52;

class InputFile {
public:
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    // The error number of the failure to open (0 when open).
    int errorNumber() const { return errorNumber_; }
    // The size when it was opened; the file may shrink or grow while it is read.
    std::uint64_t sizeAtOpen() const { return size_; }
    // Reads up to `n` bytes: the number read, 0 at the end of the file, -1 on
    // a read failure (errno tells which).
    long read(char* into, std::size_t n);

private:
    int fd_ = -1;
    int errorNumber_ = 0;
    std::uint64_t size_ = 0;
};

// What a path names when it is not a regular file ("a folder", "a named pipe
// (FIFO)", "a character device", ...); nothing for a regular file or a path
// that cannot be looked at. Links are followed.
std::optional<std::string> notARegularFile(const std::string& path);

} // namespace tallix::base
