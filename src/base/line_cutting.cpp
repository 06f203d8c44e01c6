#include "base/line_cutting.h"

#include <cerrno>

namespace tallix::base {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t cr = text.find('\r', pos);
        if (cr == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

namespace {

long readFromFile(void* source, char* into, std::size_t n) {
    std::FILE* file = static_cast<std::FILE*>(source);
    const std::size_t got = std::fread(into, 1, n, file);
    if (got == 0 && std::ferror(file))
        return -1;
    return static_cast<long>(got);
}

} // namespace

LineReader::LineReader(std::FILE* file, std::size_t keepBytes)
    : LineReader(file, &readFromFile, keepBytes) {}

LineReader::LineReader(void* source, ReadFn read, std::size_t keepBytes)
    : source_(source), read_(read), keepBytes_(keepBytes) {}

bool LineReader::next(std::string& line) {
    line.clear();
    bool any = false; // bytes of a line (or its end) were met
    for (;;) {
        if (pos_ == buffer_.size()) {
            if (eof_ || error_ != 0)
                return any;
            constexpr std::size_t Chunk = 64 * 1024;
            buffer_.resize(Chunk);
            errno = 0;
            const long got = read_(source_, buffer_.data(), Chunk);
            if (got < 0) {
                error_ = errno != 0 ? errno : EIO;
                buffer_.clear();
                pos_ = 0;
                return false;
            }
            buffer_.resize(static_cast<std::size_t>(got));
            pos_ = 0;
            if (got == 0) {
                eof_ = true;
                return any && cutter_.lineOpen();
            }
        }
        bool ended = false;
        pos_ += cutter_.feed(std::string_view(buffer_).substr(pos_),
                             [&](std::string_view bytes, bool endsLine) {
                                 any = true;
                                 if (line.size() < keepBytes_)
                                     line.append(bytes.substr(0, keepBytes_ - line.size()));
                                 ended = endsLine;
                                 return !endsLine;
                             });
        if (ended)
            return true;
    }
}

} // namespace tallix::base
