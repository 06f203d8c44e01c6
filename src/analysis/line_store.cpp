#include "analysis/line_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "text/basic_text.h"

namespace tallix::analysis {

void LineStore::clear() {
    arena_.clear();
    reading_.reset();
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

namespace {

constexpr std::size_t LargePage = 2u << 20;

bool largePages(std::size_t bytes) {
    return bytes >= LargePage / 2;
}

} // namespace

std::size_t pageRounded(std::size_t bytes) {
    const std::size_t unit = largePages(bytes) ? LargePage : 4096;
    return (std::max<std::size_t>(bytes, 1) + unit - 1) / unit * unit;
}

void* takePages(std::size_t& bytes) {
    constexpr std::size_t Large = LargePage;
    const bool large = largePages(bytes);
    // Large pages need an address on a 2 MiB boundary: a little more is
    // taken, and what lies before and after the aligned range given back.
    const std::size_t unit = large ? Large : 4096;
    bytes = pageRounded(bytes);
    const std::size_t extra = large ? Large : 0;
    void* raw = ::mmap(nullptr, bytes + extra, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (at + unit - 1) / unit * unit;
    if (aligned > at)
        ::munmap(raw, aligned - at);
    if (const std::size_t after = at + extra - aligned; after > 0)
        ::munmap(reinterpret_cast<void*>(aligned + bytes), after);
    void* p = reinterpret_cast<void*>(aligned);
    // Large pages where the system offers them, and the pages taken at once:
    // far fewer faults than a page at a time. Not more than 64 MiB at once,
    // which takes a moment: the pages of a larger file come as the reading
    // reaches them, between pieces where a window lets events run.
    if (large)
        ::madvise(p, bytes, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t TakenAtOnce = std::size_t{64} << 20;
    ::madvise(p, std::min(bytes, TakenAtOnce), MADV_POPULATE_WRITE);
#endif
    return p;
}

void givePages(void* p, std::size_t bytes) {
    if (p)
        ::munmap(p, bytes);
}

ReadBuffer::ReadBuffer(std::size_t capacity) {
    data_ = static_cast<char*>(takePages(capacity));
    capacity_ = data_ ? capacity : 0;
}

ReadBuffer::~ReadBuffer() {
    givePages(data_, capacity_);
}

bool ReadBuffer::reserveMore(std::size_t n) {
    if (capacity_ - size_ >= n)
        return true;
    const std::size_t wanted =
        pageRounded(std::max(capacity_ + capacity_ / 2, size_ + std::max<std::size_t>(n, 1 << 20)));
    void* p = data_ ? ::mremap(data_, capacity_, wanted, MREMAP_MAYMOVE)
                    : ::mmap(nullptr, wanted, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED)
        return false;
    data_ = static_cast<char*>(p);
    capacity_ = wanted;
    return true;
}

ReadBuffer& LineStore::startReading(std::size_t expectedBytes) {
    clear();
    reading_ = std::make_shared<ReadBuffer>(expectedBytes);
    // Short lines are the common case; the slots grow from there.
    spans_.reserve(std::min<std::size_t>(MaxLines, expectedBytes / 32 + 16));
    return *reading_;
}

bool LineStore::addRange(std::size_t begin, std::size_t end) {
    if (count_ == std::numeric_limits<std::int32_t>::max())
        return false;
    ++count_;
    if (count_ <= MaxLines) {
        // Trailing spaces dropped, spelled out: this runs for every line.
        const char* bytes = reading_->data();
        while (end > begin && bytes[end - 1] == ' ')
            --end;
        spans_.push_back({begin, end});
    }
    return true;
}

bool LineStore::countOnly() {
    if (count_ == std::numeric_limits<std::int32_t>::max())
        return false;
    ++count_;
    return true;
}

void LineStore::keepRead() {
    const std::string_view bytes = reading_->bytes();
    source_ = SharedBytes(std::move(reading_), bytes);
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
