#pragma once
// The rule that cuts a byte stream into lines: a line ends at CR LF or at a
// lone CR; a lone LF stays in the line's text; a last line without a line end
// is a line; an empty input has no lines.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tallix::base {

// The one line-end rule for bytes that arrive in pieces, in linear time
// whatever the lines' length: every byte is looked at once, and nothing is
// searched again when the next piece comes. A CR at the end of one piece ends
// its line at once; an LF that begins the next piece is then skipped.
class LineCutter {
public:
    // Calls onPiece(std::string_view bytes, bool endsLine) for every run of a
    // line's bytes in `chunk`, in order; `bytes` points into `chunk`. A line
    // that spans pieces comes in several runs, the last with endsLine true;
    // a run is empty only when it ends a line. When onPiece returns false
    // after a run that ends a line, cutting stops there. Returns the number
    // of bytes of `chunk` used.
    template <class OnPiece> std::size_t feed(std::string_view chunk, OnPiece&& onPiece);
    // True when bytes of a line without a line end were fed: at the end of
    // the input that is a last line.
    bool lineOpen() const { return open_; }

private:
    bool skipLf_ = false; // the last piece ended with a CR
    bool open_ = false;
};

// Cuts bytes that arrive in pieces into whole lines.
class LineSplitter {
public:
    // Calls onLine(std::string_view) for every complete line in `chunk`. A line
    // that spans pieces is assembled in storage owned by the splitter.
    template <class OnLine> void feed(std::string_view chunk, OnLine&& onLine);
    // Ends the input: hands over a last line without line end, if any.
    template <class OnLine> void finish(OnLine&& onLine);
    // `more` bytes are still to come: a line that has grown past a megabyte
    // gets room for all of them at once, rather than being moved to ever
    // larger storage (which holds it twice while it moves).
    void expectMore(std::size_t more) {
        if (pending_.size() >= (1u << 20) && pending_.capacity() - pending_.size() < more)
            pending_.reserve(pending_.size() + more);
    }

private:
    LineCutter cutter_;
    std::string pending_;
};

// Splits a whole text at once.
std::vector<std::string_view> splitLines(std::string_view text);

// Reads one line at a time from a file, with the same rule; used where only the
// first few lines of a file are wanted. With `keepBytes` only the first that
// many bytes of each line are kept (the rest is read past), so a very long
// line costs neither time nor memory.
class LineReader {
public:
    using ReadFn = long (*)(void* source, char* into, std::size_t n);
    explicit LineReader(std::FILE* file, std::size_t keepBytes = std::string::npos);
    // `read` gives up to n bytes: their number, 0 at the end, -1 on failure.
    LineReader(void* source, ReadFn read, std::size_t keepBytes = std::string::npos);
    // False at the end of the file or on a read failure (see error()).
    bool next(std::string& line);
    int error() const { return error_; } // errno of a read failure, else 0

private:
    void* source_;
    ReadFn read_;
    std::size_t keepBytes_;
    LineCutter cutter_;
    std::string buffer_;
    std::size_t pos_ = 0; // bytes of buffer_ used
    bool eof_ = false;
    int error_ = 0;
};

// ---- template members ----

namespace detail {

// The carriage returns among the 64 bytes at `p` (of which `n` are there), one
// bit each: found 64 bytes at a time rather than by one search per line.
inline std::uint64_t crMask(const char* p, std::size_t n) {
    std::uint64_t mask = 0;
#ifdef __SSE2__
    if (n >= 64) {
        const __m128i cr = _mm_set1_epi8('\r');
        for (int i = 0; i < 4; ++i) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            mask |= static_cast<std::uint64_t>(
                        static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr))))
                    << (16 * i);
        }
        return mask;
    }
#endif
    for (std::size_t i = 0; i < std::min<std::size_t>(n, 64); ++i)
        mask |= static_cast<std::uint64_t>(p[i] == '\r') << i;
    return mask;
}

} // namespace detail

template <class OnPiece> std::size_t LineCutter::feed(std::string_view chunk, OnPiece&& onPiece) {
    // The next CR at or after `from`, or npos; the mask of the current block
    // of 64 bytes is kept between searches.
    std::size_t blockStart = std::string_view::npos;
    std::uint64_t block = 0;
    const auto nextCr = [&](std::size_t from) -> std::size_t {
        while (from < chunk.size()) {
            if (blockStart == std::string_view::npos || from < blockStart ||
                from >= blockStart + 64) {
                blockStart = from;
                block = detail::crMask(chunk.data() + from, chunk.size() - from);
            }
            const std::uint64_t ahead = block & (~std::uint64_t{0} << (from - blockStart));
            if (ahead != 0)
                return blockStart + static_cast<std::size_t>(std::countr_zero(ahead));
            from = blockStart + 64;
        }
        return std::string_view::npos;
    };
    std::size_t pos = 0;
    if (skipLf_ && !chunk.empty()) {
        skipLf_ = false;
        if (chunk.front() == '\n')
            pos = 1;
    }
    while (pos < chunk.size()) {
        const std::size_t cr = nextCr(pos);
        if (cr == std::string_view::npos) {
            open_ = true;
            onPiece(chunk.substr(pos), false);
            return chunk.size();
        }
        open_ = false;
        const bool more = onPiece(chunk.substr(pos, cr - pos), true);
        pos = cr + 1;
        if (pos == chunk.size())
            skipLf_ = true;
        else if (chunk[pos] == '\n')
            ++pos;
        if (!more)
            return pos;
    }
    return pos;
}

template <class OnLine> void LineSplitter::feed(std::string_view chunk, OnLine&& onLine) {
    cutter_.feed(chunk, [&](std::string_view bytes, bool endsLine) {
        if (!endsLine) {
            pending_.append(bytes);
        } else if (pending_.empty()) {
            onLine(bytes);
        } else {
            pending_.append(bytes);
            onLine(std::string_view(pending_));
            pending_.clear();
        }
        return true;
    });
}

template <class OnLine> void LineSplitter::finish(OnLine&& onLine) {
    if (cutter_.lineOpen() && !pending_.empty())
        onLine(std::string_view(pending_));
    pending_.clear();
    cutter_ = LineCutter();
}

} // namespace tallix::base
