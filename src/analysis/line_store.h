#pragma once
// The lines of the file under analysis: the cutting rule is in
// base/line_cutting.h.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_cutting.h"

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

// Memory straight from the system, taken in one piece rather than a page at a
// time as it is first written (large pages for a megabyte or more). `bytes` is
// rounded up to what was taken (pageRounded); nothing when there is none.
std::size_t pageRounded(std::size_t bytes);
void* takePages(std::size_t& bytes);
void givePages(void* p, std::size_t bytes);

// Allocates large arrays with takePages, small ones as usual.
template <class T> struct PageAllocator {
    using value_type = T;
    PageAllocator() = default;
    template <class U> PageAllocator(const PageAllocator<U>&) {}
    static constexpr std::size_t Threshold = 256 * 1024;
    T* allocate(std::size_t n) {
        std::size_t bytes = n * sizeof(T);
        if (bytes < Threshold)
            return std::allocator<T>().allocate(n);
        void* p = takePages(bytes);
        if (!p)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) {
        std::size_t bytes = n * sizeof(T);
        if (bytes < Threshold)
            return std::allocator<T>().deallocate(p, n);
        givePages(p, pageRounded(bytes));
    }
    friend bool operator==(const PageAllocator&, const PageAllocator&) { return true; }
};

// Bytes read from a file, in memory of their own that is taken from the
// system in one piece (not page by page as it is first written), and grows
// when the file turns out longer than it was.
class ReadBuffer {
public:
    explicit ReadBuffer(std::size_t capacity);
    ~ReadBuffer();
    ReadBuffer(const ReadBuffer&) = delete;
    ReadBuffer& operator=(const ReadBuffer&) = delete;

    char* data() { return data_; }
    std::string_view bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }
    // Room for at least `n` more bytes after size(); false when there is none.
    bool reserveMore(std::size_t n);
    std::size_t room() const { return capacity_ - size_; }
    char* end() { return data_ + size_; }
    void grow(std::size_t n) { size_ += n; }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
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
    // Lines cut while a file is read straight into the store: the buffer
    // (with room for `expectedBytes`) takes the file's bytes,
    // `addRange` counts a line of them and stores its bounds, `keepRead`
    // ends the reading and keeps the bytes as the text the lines point into.
    ReadBuffer& startReading(std::size_t expectedBytes);
    bool addRange(std::size_t begin, std::size_t end);
    // Counts a line past the limit without its bytes.
    bool countOnly();
    void keepRead();
    // The text the lines were cut from, when the store holds it whole.
    const SharedBytes& text() const { return source_; }

    // Drops the first n characters of stored line i.
    void dropPrefix(std::int32_t i, std::size_t n);

private:
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    std::string arena_;
    SharedBytes source_; // when set, spans point into it
    std::shared_ptr<ReadBuffer> reading_;
    std::vector<Span, PageAllocator<Span>> spans_;
    std::int32_t count_ = 0;
};

} // namespace tallix::analysis
