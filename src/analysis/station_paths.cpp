#include "analysis/station_paths.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <set>

#include "analysis/heard_list.h"
#include "analysis/station_stats.h"

namespace tallix::analysis {

namespace {

// Where " Via " begins in `s` from `at` on, or npos.
std::size_t viaAt(std::string_view s, std::size_t at) {
    using namespace via_scan;
    auto isVia = [&](std::size_t v) {
        return v + 3 < s.size() && s[v - 1] == ' ' && s[v + 1] == 'i' && s[v + 2] == 'a' &&
               s[v + 3] == ' ';
    };
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time: a header's " Via " mostly comes a few words
        // after the call, too soon for a library search to pay.
        for (; at + 8 <= s.size(); at += 8) {
            for (std::uint64_t hits = zeroBytes(word(s.data() + at) ^ (Ones * 'V')); hits != 0;
                 hits &= hits - 1) {
                const std::size_t v = at + static_cast<std::size_t>(std::countr_zero(hits)) / 8;
                if (isVia(v))
                    return v - 1;
            }
        }
    }
    for (; at < s.size(); ++at)
        if (s[at] == 'V' && isVia(at))
            return at - 1;
    return std::string_view::npos;
}

} // namespace

namespace via_scan {

std::string_view viaPathAfter(std::string_view header, std::size_t at) {
    const std::size_t via = viaAt(header, at);
    if (via == std::string_view::npos)
        return {};
    return header.substr(via + 5, pathEnd(header, via + 5) - (via + 5));
}

std::string_view viaPathSlow(std::string_view header, std::size_t from) {
    auto pathAt = [&](std::size_t start) {
        return header.substr(start, pathEnd(header, start) - start);
    };
    auto holds = [&](std::size_t at, std::string_view text) {
        return at + text.size() <= header.size() &&
               std::memcmp(header.data() + at, text.data(), text.size()) == 0;
    };
    std::size_t start = std::max<std::size_t>(from, 1);
    // Most headers go on " To DEST Via ": no " Via " can begin inside the
    // destination's call, so the one right after it is the first, unless the
    // destination is "Via" itself.
    if (holds(from, " To ")) {
        const std::size_t dest = from + 4;
        const std::size_t blank = std::min(header.find(' ', dest), header.size());
        if (blank - dest != 3 || !holds(dest, "Via")) {
            if (holds(blank, " Via "))
                return pathAt(blank + 5);
            start = blank;
        }
    }
    return viaPathAfter(header, start);
}

} // namespace via_scan

std::vector<PathHop> pathHops(std::string_view via) {
    std::vector<PathHop> hops;
    while (!via.empty()) {
        const std::size_t comma = via.find(',');
        std::string_view part = via.substr(0, comma);
        via = comma == std::string_view::npos ? std::string_view() : via.substr(comma + 1);
        PathHop hop;
        if (!part.empty() && part.back() == '*') {
            hop.repeated = true;
            part.remove_suffix(1);
        }
        hop.call = part;
        if (!hop.call.empty())
            hops.push_back(hop);
    }
    return hops;
}

std::string_view heardFrom(std::string_view station, std::string_view via) {
    // The parts from the last on: the first starred one with a call is it.
    while (!via.empty()) {
        const std::size_t comma = via.rfind(',');
        std::string_view part = comma == std::string_view::npos ? via : via.substr(comma + 1);
        via = via.substr(0, comma == std::string_view::npos ? 0 : comma);
        if (part.size() > 1 && part.back() == '*')
            return part.substr(0, part.size() - 1);
    }
    return station;
}

std::string PathRecord::firstHeard() const {
    return stamped() ? secondText(firstSecond) : std::string();
}

std::string PathRecord::lastHeard() const {
    return stamped() ? secondText(lastSecond) : std::string();
}

void sortPaths(std::vector<PathRecord>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const PathRecord& a, const PathRecord& b) {
        if (heardLess(a.station, b.station))
            return true;
        if (heardLess(b.station, a.station))
            return false;
        return a.via < b.via;
    });
}

std::vector<DigipeaterRecord> digipeaters(const std::vector<PathRecord>& paths) {
    struct Tally {
        DigipeaterRecord record;
        std::set<std::string_view> stations;
    };
    std::map<std::string_view, Tally> byCall;
    for (const PathRecord& path : paths) {
        // A call twice in one path is one frame it appears in; starred once
        // is enough for the frame to count as repeated by it.
        std::map<std::string_view, bool> inPath;
        for (const PathHop& hop : pathHops(path.via))
            inPath[hop.call] = inPath[hop.call] || hop.repeated;
        for (const auto& [call, repeated] : inPath) {
            Tally& t = byCall[call];
            t.record.frames += path.frames;
            if (repeated)
                t.record.repeated += path.frames;
            t.stations.insert(path.station);
        }
    }
    std::vector<DigipeaterRecord> out;
    out.reserve(byCall.size());
    for (auto& [call, t] : byCall) {
        t.record.call = call;
        t.record.stations = static_cast<std::int32_t>(t.stations.size());
        out.push_back(std::move(t.record));
    }
    // Ties stay in call order from the map.
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a.frames > b.frames; });
    return out;
}

std::vector<std::string> heardOnlyVia(std::string_view station,
                                      const std::vector<StationPath>& paths) {
    std::map<std::string, std::int32_t> framesFrom; // "D1*" and its frames
    for (const StationPath& path : paths) {
        const std::string_view from = heardFrom(station, path.via);
        if (from == station)
            return {};
        framesFrom[std::string(from) + "*"] += path.frames;
    }
    std::vector<std::pair<std::string, std::int32_t>> ordered(framesFrom.begin(), framesFrom.end());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::vector<std::string> out;
    for (auto& [call, frames] : ordered)
        out.push_back(std::move(call));
    return out;
}

std::string pathsCsv(const std::vector<PathRecord>& paths) {
    std::string out = "Station,Path,Frames,First heard,Last heard,Heard from\r\n";
    for (const PathRecord& p : paths) {
        out += csvField(p.station);
        out.push_back(',');
        out += csvField(p.via);
        for (const std::string& field : {std::to_string(p.frames), p.firstHeard(), p.lastHeard()}) {
            out.push_back(',');
            out += field;
        }
        out.push_back(',');
        out += csvField(p.heardFrom());
        out += "\r\n";
    }
    return out;
}

} // namespace tallix::analysis
