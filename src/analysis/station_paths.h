#pragma once
// Digipeater paths: through which digipeaters each station's frames were
// heard, taken from the "Via" part of the station header lines, and what
// each digipeater carried.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::analysis {

// The path of a station header line: the text after its first " Via " up to
// the next blank, "<" or ">"; empty (heard direct) when the line has none.
// The search may start at `from`, where the caller knows that no " Via "
// begins before.
std::string_view viaPath(std::string_view header, std::size_t from = 0);

// Searches of the header, a word of eight bytes at a time. Inline: the pass
// runs them for every station header.
namespace via_scan {

constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full, Ones = 0x0101010101010101ull;

// The top bit of every zero byte of `x` set, exactly, and no other bit.
inline std::uint64_t zeroBytes(std::uint64_t x) {
    return ~(((x & Low7) + Low7) | x | Low7);
}

inline std::uint64_t word(const char* at) {
    std::uint64_t w;
    std::memcpy(&w, at, 8);
    return w;
}

// Where in `s` from `at` on the first blank, "<" or ">" is, or its size.
inline std::size_t pathEnd(std::string_view s, std::size_t at) {
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= s.size(); at += 8) {
            const std::uint64_t w = word(s.data() + at);
            const std::uint64_t hits = zeroBytes(w ^ (Ones * ' ')) | zeroBytes(w ^ (Ones * '<')) |
                                       zeroBytes(w ^ (Ones * '>'));
            if (hits != 0)
                return at + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
        }
    }
    while (at < s.size() && s[at] != ' ' && s[at] != '<' && s[at] != '>')
        ++at;
    return at;
}

// Every case, the ones the quick search below leaves to it included.
std::string_view viaPathSlow(std::string_view header, std::size_t from);
// The path of the first " Via " from `at` on, where none begins before.
std::string_view viaPathAfter(std::string_view header, std::size_t at);

} // namespace via_scan

[[gnu::always_inline]] inline std::string_view viaPath(std::string_view header, std::size_t from) {
    using namespace via_scan;
    if constexpr (std::endian::native == std::endian::little) {
        // The usual " To DEST Via PATH": the destination and its blank within
        // a word, the " Via " read as one word, the line long enough for both.
        constexpr std::uint64_t To = 0x206F5420;        // " To "
        constexpr std::uint64_t Via = 0x20616956'20ull; // " Via "
        constexpr std::uint64_t ViaCall = 0x616956;     // "Via"
        const std::size_t dest = from + 4;
        if (dest + 16 <= header.size() && (word(header.data() + from) & 0xFFFFFFFF) == To) {
            const std::uint64_t d = word(header.data() + dest);
            const std::uint64_t blanks = zeroBytes(d ^ (Ones * ' '));
            const auto length = static_cast<std::size_t>(std::countr_zero(blanks)) / 8;
            // A destination "Via" begins a " Via " of its own.
            if (blanks != 0 && !(length == 3 && (d & 0xFFFFFF) == ViaCall)) {
                const std::size_t blank = dest + length;
                if ((word(header.data() + blank) & 0xFFFFFFFFFF) != Via)
                    return viaPathAfter(header, blank);
                const std::size_t start = blank + 5;
                return header.substr(start, pathEnd(header, start) - start);
            }
        }
    }
    return viaPathSlow(header, from);
}

// One call of a path, with or without the "*" of a digipeater that has
// repeated the frame.
struct PathHop {
    std::string_view call; // without its "*"
    bool repeated = false;
};
// The path's comma-separated calls, in order; empty parts are left out.
std::vector<PathHop> pathHops(std::string_view via);

// The station heard on air: the last digipeater of the path that has repeated
// the frame, or the originating station itself when none has.
std::string_view heardFrom(std::string_view station, std::string_view via);

// A path as a table shows it: "direct" for the empty one.
inline std::string_view shownPath(std::string_view via) {
    return via.empty() ? std::string_view("direct") : via;
}

// A station's frames over one path, the path exactly as written.
struct PathRecord {
    std::string station;
    std::string via;
    std::int32_t frames = 0;
    std::int64_t firstSecond = -1; // on the log's time line; -1: no well-formed stamp
    std::int64_t lastSecond = -1;

    bool stamped() const { return firstSecond >= 0; }
    std::string firstHeard() const;
    std::string lastHeard() const;
    std::string heardFrom() const { return std::string(analysis::heardFrom(station, via)); }
};

// Stations as the sorted heard list orders them, then paths in byte order.
void sortPaths(std::vector<PathRecord>& paths);

// A call as it stands in paths, without its "*".
struct DigipeaterRecord {
    std::string call;
    std::int32_t frames = 0;   // frames whose path holds it
    std::int32_t repeated = 0; // of them, frames in which it is starred
    std::int32_t stations = 0; // distinct stations it was in a path of
};
// Every digipeater of the paths, most frames first, ties by call in byte order.
std::vector<DigipeaterRecord> digipeaters(const std::vector<PathRecord>& paths);

// A station never heard direct: the digipeaters it was heard from ("D1*"),
// the one with most frames first, ties by call. Empty when one of its paths
// is heard direct.
struct StationPath {
    std::string_view via;
    std::int32_t frames = 0;
};
std::vector<std::string> heardOnlyVia(std::string_view station,
                                      const std::vector<StationPath>& paths);

// The path table with a header row, as the station table's CSV is written.
std::string pathsCsv(const std::vector<PathRecord>& paths);

} // namespace tallix::analysis
