#pragma once
// A station call as the heard list cuts it (at most eleven characters), packed
// with its length into two words: compared and hashed without allocating.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tallix::analysis {

struct CallKey {
    std::uint64_t low = 0;
    std::uint64_t high = 0; // the top byte holds the length

    friend bool operator==(const CallKey&, const CallKey&) = default;

    static CallKey of(std::string_view call);
    // The same key for a call that is followed by at least sixteen readable
    // bytes counted from its start: two whole words read, the rest cleared.
    static CallKey ofWide(std::string_view call);
    std::string text() const;
    // The slot of an open-addressing table of `mask` + 1 (a power of two) slots.
    std::size_t slot(std::size_t mask) const;
    // The key of the call a station header holds from its fourth character
    // on: read as two whole words where the line is long enough for that.
    static CallKey inHeader(std::string_view line, std::string_view call) {
        return line.size() >= 3 + 16 ? ofWide(call) : of(call);
    }
};

// Inline: the key is then built in registers where it is used, instead of
// coming back from a call through memory.
inline CallKey CallKey::ofWide(std::string_view call) {
    if constexpr (std::endian::native != std::endian::little) {
        return of(call);
    } else {
        const std::size_t n = std::min<std::size_t>(call.size(), 15);
        CallKey k;
        std::memcpy(&k.low, call.data(), 8);
        std::memcpy(&k.high, call.data() + 8, 8);
        if (n < 8)
            k.low &= (std::uint64_t{1} << (8 * n)) - 1;
        k.high = n <= 8 ? 0 : k.high & ((std::uint64_t{1} << (8 * (n - 8))) - 1);
        k.high |= static_cast<std::uint64_t>(n) << 56;
        return k;
    }
}

} // namespace tallix::analysis
