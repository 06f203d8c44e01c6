#include "analysis/line_store.h"

#include <cerrno>
#include <limits>

#include "text/basic_text.h"

namespace tallix::analysis {

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

bool LineReader::fill() {
    if (eof_)
        return false;
    buffer_.erase(0, pos_);
    pos_ = 0;
    const std::size_t old = buffer_.size();
    constexpr std::size_t Chunk = 64 * 1024;
    buffer_.resize(old + Chunk);
    const std::size_t got = std::fread(buffer_.data() + old, 1, Chunk, file_);
    buffer_.resize(old + got);
    if (got < Chunk) {
        eof_ = true;
        if (std::ferror(file_))
            error_ = errno != 0 ? errno : EIO;
    }
    return got > 0;
}

bool LineReader::next(std::string& line) {
    for (;;) {
        const std::size_t cr = buffer_.find('\r', pos_);
        // A CR that ends the buffer is only decided once the next read shows
        // whether an LF follows it.
        if (cr != std::string::npos && (cr + 1 < buffer_.size() || eof_)) {
            line.assign(buffer_, pos_, cr - pos_);
            pos_ = cr + 1;
            if (pos_ < buffer_.size() && buffer_[pos_] == '\n')
                ++pos_;
            return true;
        }
        if (!fill()) {
            if (error_ != 0)
                return false;
            if (pos_ < buffer_.size()) {
                const std::size_t end = buffer_.find('\r', pos_);
                if (end != std::string::npos)
                    continue; // a CR arrived with the last piece
                line.assign(buffer_, pos_, std::string::npos);
                pos_ = buffer_.size();
                return true;
            }
            return false;
        }
    }
}

void LineStore::clear() {
    arena_.clear();
    source_ = {};
    spans_.clear();
    count_ = 0;
}

bool LineStore::addAll(SharedBytes text) {
    clear();
    source_ = std::move(text);
    const std::string_view all = source_.bytes;
    std::size_t pos = 0;
    while (pos < all.size()) {
        if (count_ == std::numeric_limits<std::int32_t>::max())
            return false;
        std::size_t cr = all.find('\r', pos);
        const std::size_t end = cr == std::string_view::npos ? all.size() : cr;
        ++count_;
        if (count_ <= MaxLines) {
            const std::size_t kept = text::trimTrailingSpaces(all.substr(pos, end - pos)).size();
            spans_.push_back({pos, pos + kept});
        }
        if (cr == std::string_view::npos)
            break;
        pos = cr + 1;
        if (pos < all.size() && all[pos] == '\n')
            ++pos;
    }
    return true;
}

bool LineStore::add(std::string_view line) {
    if (count_ == std::numeric_limits<std::int32_t>::max())
        return false;
    if (source_) {
        // Lines added one by one go into an arena of the store's own.
        arena_.assign(source_.bytes);
        source_ = {};
    }
    ++count_;
    if (count_ <= MaxLines) {
        const std::string_view kept = text::trimTrailingSpaces(line);
        const std::size_t begin = arena_.size();
        arena_.append(kept);
        spans_.push_back({begin, arena_.size()});
    }
    return true;
}

void LineStore::dropPrefix(std::int32_t i, std::size_t n) {
    Span& s = spans_[static_cast<std::size_t>(i - 1)];
    s.begin += std::min(n, s.end - s.begin);
}

} // namespace tallix::analysis
