#include "base/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/error_numbers.h"

namespace tallix::base {

namespace {

int notAFileNumber(mode_t mode) {
    return S_ISDIR(mode) ? NotAFileFolder : NotAFileOther;
}

} // namespace

InputFile::InputFile(const std::string& path) {
    // Decided on the name first, so that a device is never even opened (some
    // act on open), then again on what was opened, in case the name changed
    // hands in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        errorNumber_ = errorNumberFromErrno(errno);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        errorNumber_ = notAFileNumber(st.st_mode);
        return;
    }
    // O_NONBLOCK: a pipe put in the file's place meanwhile does not wait for
    // a writer; on a regular file it changes nothing.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        errorNumber_ = errno == ENXIO ? NotAFileOther : errorNumberFromErrno(errno);
        return;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        errorNumber_ =
            S_ISREG(st.st_mode) ? errorNumberFromErrno(errno) : notAFileNumber(st.st_mode);
        ::close(fd);
        return;
    }
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
}

InputFile::~InputFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

long InputFile::read(char* into, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, n);
        if (got >= 0 || errno != EINTR)
            return static_cast<long>(got);
    }
}

std::optional<std::string> notARegularFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
        return std::nullopt;
    if (S_ISDIR(st.st_mode))
        return "a folder";
    if (S_ISFIFO(st.st_mode))
        return "a named pipe (FIFO)";
    if (S_ISSOCK(st.st_mode))
        return "a socket";
    if (S_ISCHR(st.st_mode))
        return "a character device";
    if (S_ISBLK(st.st_mode))
        return "a block device";
    return "not a regular file";
}

} // namespace tallix::base
