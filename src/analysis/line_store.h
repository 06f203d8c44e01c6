#pragma once
// The lines of the file under analysis and the rule that cuts a byte stream
// into lines: a line ends at CR LF or at a lone CR; a lone LF stays in the
// line's text; a last line without a line end is a line; an empty input has no
// lines.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::analysis {

inline constexpr std::int32_t MaxLines = 65000;

// Bytes that some owner holds (a string, a file mapped into memory); whoever
// keeps a copy keeps the owner alive.
struct SharedBytes {
    std::shared_ptr<const void> owner;
    std::string_view bytes;

    SharedBytes() = default;
    SharedBytes(std::shared_ptr<const void> holder, std::string_view view)
        : owner(std::move(holder)), bytes(view) {}
    // A string handed over whole.
    SharedBytes(std::shared_ptr<const std::string> text) // NOLINT: a string is bytes
        : owner(text), bytes(text ? std::string_view(*text) : std::string_view()) {}
    explicit operator bool() const { return owner != nullptr; }
};

// Cuts bytes that arrive in pieces into lines. A CR at the end of one piece is
// held until the next piece shows whether an LF follows it.
class LineSplitter {
public:
    // Calls onLine(std::string_view) for every complete line in `chunk`. A line
    // that spans pieces is assembled in `pending` storage owned by the splitter.
    template <class OnLine> void feed(std::string_view chunk, OnLine&& onLine);
    // Ends the input: hands over a last line without line end, if any.
    template <class OnLine> void finish(OnLine&& onLine);

private:
    std::string pending_;
    bool pendingCr_ = false;  // the previous piece ended with a CR
    bool havePending_ = false; // bytes of an unfinished line are in pending_
};

// Splits a whole text at once.
std::vector<std::string_view> splitLines(std::string_view text);

// Reads one line at a time from a file, with the same rule; used where only the
// first few lines of a file are wanted.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}
    // False at the end of the file or on a read failure (see error()).
    bool next(std::string& line);
    int error() const { return error_; } // errno of a read failure, else 0

private:
    bool fill();
    std::FILE* file_;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    int error_ = 0;
};

// Slots 1 to MaxLines of text lines over one byte arena, and the count of lines
// read, which goes on past MaxLines (lines beyond the limit are counted, never
// stored). Pre-processing shortens lines in place by moving their bounds.
class LineStore {
public:
    void clear();
    std::int32_t count() const { return count_; }
    // Line i, 1 <= i <= min(count(), MaxLines).
    std::string_view line(std::int32_t i) const {
        const Span& s = spans_[static_cast<std::size_t>(i - 1)];
        const std::string_view bytes = source_ ? source_.bytes : std::string_view(arena_);
        return bytes.substr(s.begin, s.end - s.begin);
    }
    std::int32_t storedCount() const { return static_cast<std::int32_t>(spans_.size()); }

    // Counts one more line; stores it (trailing spaces removed) while the count
    // is within MaxLines. Returns false when the count cannot grow any further.
    bool add(std::string_view line);
    // Cuts all lines of a text the caller already holds. The store keeps the
    // text and points into it rather than copying every line.
    // Returns false when the count cannot grow any further.
    bool addAll(SharedBytes text);
    // Drops the first n characters of stored line i.
    void dropPrefix(std::int32_t i, std::size_t n);
    void reserveBytes(std::size_t n) { arena_.reserve(n); }

private:
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    std::string arena_;
    SharedBytes source_; // when set, spans point into it
    std::vector<Span> spans_;
    std::int32_t count_ = 0;
};

// ---- template members ----

template <class OnLine> void LineSplitter::feed(std::string_view chunk, OnLine&& onLine) {
    std::size_t pos = 0;
    if (pendingCr_) {
        // The CR at the end of the last piece ended a line; skip its LF.
        pendingCr_ = false;
        if (!chunk.empty() && chunk.front() == '\n')
            pos = 1;
    }
    while (pos < chunk.size()) {
        const std::size_t cr = chunk.find('\r', pos);
        if (cr == std::string_view::npos) {
            pending_.append(chunk.substr(pos));
            havePending_ = true;
            return;
        }
        std::string_view piece = chunk.substr(pos, cr - pos);
        if (havePending_) {
            pending_.append(piece);
            onLine(std::string_view(pending_));
            pending_.clear();
            havePending_ = false;
        } else {
            onLine(piece);
        }
        if (cr + 1 == chunk.size()) {
            pendingCr_ = true;
            return;
        }
        pos = cr + 1;
        if (chunk[pos] == '\n')
            ++pos;
    }
}

template <class OnLine> void LineSplitter::finish(OnLine&& onLine) {
    if (havePending_ && !pending_.empty())
        onLine(std::string_view(pending_));
    pending_.clear();
    havePending_ = false;
    pendingCr_ = false;
}

} // namespace tallix::analysis
