#include "analysis/call_key.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tallix::analysis {

CallKey CallKey::of(std::string_view call) {
    unsigned char bytes[16] = {};
    const std::size_t n = std::min<std::size_t>(call.size(), 15);
    std::memcpy(bytes, call.data(), n);
    bytes[15] = static_cast<unsigned char>(n);
    CallKey k;
    std::memcpy(&k.low, bytes, 8);
    std::memcpy(&k.high, bytes + 8, 8);
    return k;
}

std::string CallKey::text() const {
    char bytes[16];
    std::memcpy(bytes, &low, 8);
    std::memcpy(bytes + 8, &high, 8);
    return std::string(bytes, static_cast<unsigned char>(bytes[15]));
}

std::size_t CallKey::slot(std::size_t mask) const {
    std::uint64_t h = low * 0x9E3779B97F4A7C15ull ^ (high + 0x632BE59BD9B4E019ull);
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return static_cast<std::size_t>(h) & mask;
}

} // namespace tallix::analysis
