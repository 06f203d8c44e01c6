#pragma once
// Digipeater paths: through which digipeaters each station's frames were
// heard, taken from the "Via" part of the station header lines, and what
// each digipeater carried.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::analysis {

// The path of a station header line: the text after its first " Via " up to
// the next blank, "<" or ">"; empty (heard direct) when the line has none.
// The search may start at `from`, where the caller knows that no " Via "
// begins before.
std::string_view viaPath(std::string_view header, std::size_t from = 0);

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
