#include "analysis/station_paths.h"

#include <algorithm>
#include <map>
#include <set>

#include "analysis/heard_list.h"
#include "analysis/station_stats.h"

namespace tallix::analysis {

std::string_view viaPath(std::string_view header, std::size_t from) {
    // Looked for by its "V", which a header holds far more rarely than a blank.
    for (std::size_t v = header.find('V', std::max<std::size_t>(from, 1));
         v != std::string_view::npos; v = header.find('V', v + 1)) {
        if (header[v - 1] != ' ' || header.compare(v + 1, 3, "ia ") != 0)
            continue;
        std::size_t end = v + 4;
        while (end < header.size() && header[end] != ' ' && header[end] != '<' &&
               header[end] != '>')
            ++end;
        return header.substr(v + 4, end - (v + 4));
    }
    return {};
}

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
