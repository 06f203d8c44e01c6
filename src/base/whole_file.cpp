#include "base/whole_file.h"

#include <algorithm>
#include <cerrno>

#include "base/error_numbers.h"
#include "base/input_file.h"

namespace tallix::base {

std::optional<std::string> readWholeFile(const std::string& path, int* errorNumber) {
    InputFile file(path);
    auto failed = [&](int number) -> std::optional<std::string> {
        if (errorNumber)
            *errorNumber = number;
        return std::nullopt;
    };
    if (!file.isOpen())
        return failed(file.errorNumber());
    std::string content;
    // One read of the whole size where the size is known, then whatever more
    // the file holds by now; a file that shrank gives what it still held.
    constexpr std::size_t Chunk = 64 * 1024;
    content.reserve(static_cast<std::size_t>(file.sizeAtOpen()) + Chunk);
    for (;;) {
        const std::size_t old = content.size();
        content.resize(old + std::max<std::size_t>(Chunk, content.capacity() - old));
        const long got = file.read(content.data() + old, content.size() - old);
        if (got < 0)
            return failed(errorNumberFromErrno(errno != 0 ? errno : EIO));
        content.resize(old + static_cast<std::size_t>(got));
        if (got == 0)
            break;
    }
    return content;
}

} // namespace tallix::base
