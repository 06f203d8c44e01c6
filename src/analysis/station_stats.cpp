#include "analysis/station_stats.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/heard_list.h"
#include "text/basic_text.h"

namespace tallix::analysis {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int twoDigits(std::string_view s, std::size_t at) {
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

void appendTwoDigits(std::string& out, std::int64_t value) {
    out.push_back(static_cast<char>('0' + value / 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

constexpr std::size_t InitialSlots = 1024;

} // namespace

std::int32_t stampSeconds(std::string_view stamp) {
    if (stamp.size() != 8 || stamp[2] != ':' || stamp[5] != ':')
        return -1;
    for (const std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (!isDigit(stamp[i]))
            return -1;
    const int h = twoDigits(stamp, 0), m = twoDigits(stamp, 3), s = twoDigits(stamp, 6);
    if (h > 23 || m > 59 || s > 59)
        return -1;
    return h * 3600 + m * 60 + s;
}

std::string secondText(std::int64_t second) {
    const std::int64_t ofDay = second % SecondsPerDay;
    std::string out;
    appendTwoDigits(out, ofDay / 3600);
    out.push_back(':');
    appendTwoDigits(out, ofDay / 60 % 60);
    out.push_back(':');
    appendTwoDigits(out, ofDay % 60);
    return out;
}

std::string minuteText(std::int64_t minute) {
    return secondText(minute * 60).substr(0, 5);
}

std::string ownStationOf(const std::vector<StationRecord>& stations) {
    for (const StationRecord& s : stations)
        if (s.own)
            return s.call;
    return {};
}

std::int32_t ActivitySeries::peak() const {
    std::int32_t top = 0;
    for (const ActivityMinute& m : minutes)
        top = std::max({top, m.received, m.transmitted, m.digipeated});
    return top;
}

StationStats::StationStats(std::string_view ownCall, bool paths)
    : gatherPaths_(paths), slots_(InitialSlots), mask_(InitialSlots - 1) {
    const std::string ownHeader = "Fm " + std::string(ownCall) + " To ";
    ownKey_ = Key::of(cutHeardCall(ownHeader));
}

StationStats::Entry& StationStats::entryFor(const Key& key) {
    std::size_t i = key.slot(mask_);
    for (; slots_[i].index != 0; i = (i + 1) & mask_)
        if (slots_[i].key == key)
            return entries_[slots_[i].index - 1];
    entries_.emplace_back().key = key;
    slots_[i] = {key, static_cast<std::uint32_t>(entries_.size())};
    if (entries_.size() * 2 > slots_.size())
        grow();
    return entries_.back();
}

void StationStats::grow() {
    std::vector<Slot> bigger(slots_.size() * 2);
    const std::size_t mask = bigger.size() - 1;
    for (const Slot& slot : slots_) {
        if (slot.index == 0)
            continue;
        std::size_t i = slot.key.slot(mask);
        while (bigger[i].index != 0)
            i = (i + 1) & mask;
        bigger[i] = slot;
    }
    slots_ = std::move(bigger);
    mask_ = mask;
}

void StationStats::advanceClock(std::int32_t secondOfDay) {
    if (previousOfDay_ >= 0 && previousOfDay_ - secondOfDay > SecondsPerDay / 2)
        dayStart_ += SecondsPerDay; // midnight passed
    previousOfDay_ = secondOfDay;
    now_ = dayStart_ + secondOfDay;
    const std::int64_t minute = now_ / 60;
    if (minute >= MaxActivityMinutes) {
        minute_ = -1;
        return;
    }
    if (static_cast<std::size_t>(minute) >= buckets_.size())
        buckets_.resize(static_cast<std::size_t>(minute) + 1);
    minute_ = minute;
    if (earliestMinute_ < 0 || minute < earliestMinute_)
        earliestMinute_ = minute;
    latestMinute_ = std::max(latestMinute_, minute);
}

void StationStats::stationHeader(std::string_view line, std::string_view stamp) {
    const std::int32_t second = stamp.empty() ? -1 : stampSeconds(stamp);
    if (second >= 0)
        advanceClock(second);
    const std::string_view call = cutHeardCall(line);
    if (call.empty())
        return; // no station to file it under
    Entry& e = entryFor(Key::inHeader(line, call));
    ++e.frames;
    // The call holds no blank, so a " Via " begins at its end at the earliest,
    // unless the call is "Via" itself.
    const std::string_view via =
        gatherPaths_ ? viaPath(line, call == "Via" ? 0 : 3 + call.size()) : std::string_view();
    // A starred path spares the search of the whole line.
    if ((!via.empty() && via.back() == '*') || line.find('*') != std::string_view::npos)
        ++e.viaDigipeater;
    if (second >= 0) {
        if (e.firstSecond < 0)
            e.firstSecond = now_;
        e.lastSecond = now_;
    }
    if (gatherPaths_)
        countPath(e, via, line.data() + line.size(), second >= 0);
}

namespace {

// A path's text hashed a word at a time.
std::uint64_t pathHash(std::string_view via) {
    std::uint64_t h = via.size();
    std::size_t at = 0;
    for (; at + 8 <= via.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, via.data() + at, 8);
        h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    for (; at < via.size(); ++at)
        tail = tail << 8 | static_cast<unsigned char>(via[at]);
    h = (h ^ tail) * 0xBF58476D1CE4E5B9ull;
    return h ^ h >> 31;
}

} // namespace

template <class Same> std::uint32_t& StationStats::IndexTable::find(std::uint64_t key, Same same) {
    if (slots_.empty()) {
        slots_.resize(64);
        mask_ = 63;
    }
    const std::uint64_t mixed = key * 0x9E3779B97F4A7C15ull;
    for (std::size_t i = (mixed ^ mixed >> 32) & mask_;; i = (i + 1) & mask_) {
        Slot& slot = slots_[i];
        if (slot.index == 0) {
            slot.key = key;
            return slot.index;
        }
        if (slot.key == key && same(slot.index - 1))
            return slot.index;
    }
}

void StationStats::IndexTable::added(std::size_t count) {
    if (count * 2 <= slots_.size())
        return;
    std::vector<Slot> bigger(slots_.size() * 2);
    const std::size_t mask = bigger.size() - 1;
    for (const Slot& slot : slots_) {
        if (slot.index == 0)
            continue;
        const std::uint64_t mixed = slot.key * 0x9E3779B97F4A7C15ull;
        std::size_t i = (mixed ^ mixed >> 32) & mask;
        while (bigger[i].index != 0)
            i = (i + 1) & mask;
        bigger[i] = slot;
    }
    slots_ = std::move(bigger);
    mask_ = mask;
}

std::uint32_t StationStats::viaNumber(std::string_view via) {
    std::uint32_t& slot =
        viaIndex_.find(pathHash(via), [&](std::uint32_t index) { return vias_[index] == via; });
    if (slot != 0)
        return slot - 1;
    vias_.emplace_back(via);
    slot = static_cast<std::uint32_t>(vias_.size());
    viaIndex_.added(vias_.size()); // may move the slots: `slot` is not read after
    return static_cast<std::uint32_t>(vias_.size() - 1);
}

namespace {

// A path's fingerprint: from its packed text, or for a text longer than the
// packing holds from the whole of it.
std::uint64_t pathPrint(const CallKey& text, std::string_view via) {
    // Equal prints are checked against the texts, so a simple mix will do.
    return via.size() > 15 ? pathHash(via) : text.low * 0x9E3779B97F4A7C15ull + text.high;
}

// Which of the eight prints equal `print`, one bit each.
unsigned blockMatches(const std::array<std::uint32_t, 8>& prints, std::uint32_t print) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi32(static_cast<int>(print));
    const auto matchesOf = [&](const std::uint32_t* four) {
        const __m128i held = _mm_loadu_si128(reinterpret_cast<const __m128i*>(four));
        return static_cast<unsigned>(
            _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(held, wanted))));
    };
    return matchesOf(prints.data()) | matchesOf(prints.data() + 4) << 4;
#else
    unsigned matches = 0;
    for (std::size_t i = 0; i < prints.size(); ++i)
        matches |= static_cast<unsigned>(prints[i] == print) << i;
    return matches;
#endif
}

} // namespace

void StationStats::countPath(Entry& entry, std::string_view via, const char* lineEnd,
                             bool stamped) {
    if (via.empty()) {
        if (entry.directFrames++ == 0)
            ++pathCount_;
        if (stamped) {
            if (entry.directLast < 0)
                entry.directFirst = now_;
            entry.directLast = now_;
        }
        return;
    }
    // Packed like a call, read as whole words where the line goes on far
    // enough: compared without looking at the text again.
    Key text;
    if (via.size() > 15) {
        text = Key::of(via.substr(0, 15));
        text.high |= std::uint64_t{0xFF} << 56;
    } else {
        text = lineEnd - via.data() >= 16 ? Key::ofWide(via) : Key::of(via);
    }
    const std::uint64_t print = pathPrint(text, via);
    // Which prints of the block match, all compared: the station's paths
    // come in no order a branch could learn.
    unsigned matches = blockMatches(entry.prints, static_cast<std::uint32_t>(print >> 32));
    matches &= (1u << std::min<std::size_t>(entry.pathCount, BlockPaths)) - 1;
    PathSlot* found = nullptr;
    for (; matches != 0; matches &= matches - 1) {
        PathSlot& path =
            paths_[entry.pathBlock + static_cast<std::size_t>(std::countr_zero(matches))];
        if (samePath(path, text, via)) {
            found = &path;
            break;
        }
    }
    PathSlot& p = found != nullptr ? *found : pathBeyondBlock(entry, text, print, via);
    ++p.frames;
    if (stamped) {
        if (p.lastSecond < 0)
            p.firstSecond = now_;
        p.lastSecond = now_;
    }
}

StationStats::PathSlot& StationStats::pathBeyondBlock(Entry& entry, const Key& text,
                                                      std::uint64_t print, std::string_view via) {
    const auto station = static_cast<std::uint32_t>(&entry - entries_.data());
    if (entry.pathCount < BlockPaths) {
        if (entry.pathCount == 0) {
            // Room for a log's worth of blocks at once, not grown step by step.
            if (paths_.empty())
                paths_.reserve(BlockPaths * 1024);
            entry.pathBlock = static_cast<std::uint32_t>(paths_.size());
            paths_.resize(paths_.size() + BlockPaths);
        }
        const std::size_t i = entry.pathCount++;
        ++pathCount_;
        entry.prints[i] = static_cast<std::uint32_t>(print >> 32);
        PathSlot& path = paths_[entry.pathBlock + i];
        path.text = text;
        path.via = viaNumber(via);
        path.station = station;
        return path;
    }
    std::uint32_t& slot = pathIndex_.find(
        print + std::uint64_t{station} * 0xBF58476D1CE4E5B9ull, [&](std::uint32_t index) {
            return paths_[index].station == station && samePath(paths_[index], text, via);
        });
    if (slot != 0)
        return paths_[slot - 1];
    PathSlot& path = paths_.emplace_back();
    path.text = text;
    path.via = viaNumber(via);
    path.station = station;
    path.older = entry.newestBeyond;
    slot = entry.newestBeyond = static_cast<std::uint32_t>(paths_.size());
    ++entry.pathCount;
    ++pathCount_;
    pathIndex_.added(++beyondBlocks_); // may move the slots: `slot` is not read after
    return path;
}

std::vector<StationRecord> StationStats::stations() const {
    std::vector<StationRecord> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_) {
        StationRecord r;
        r.call = e.key.text();
        r.frames = e.frames;
        r.viaDigipeater = e.viaDigipeater;
        r.direct = e.frames - e.viaDigipeater;
        r.firstSecond = e.firstSecond;
        r.lastSecond = e.lastSecond;
        r.own = e.key == ownKey_;
        out.push_back(std::move(r));
    }
    if (gatherPaths_) {
        // Whom each path text is heard from, worked out once per text; most
        // stations have a path heard direct and need no more.
        std::vector<std::string_view> from(vias_.size());
        for (std::size_t v = 0; v < vias_.size(); ++v)
            from[v] = heardFrom({}, vias_[v]);
        std::vector<StationPath> own;
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            own.clear();
            bool direct = entries_[i].directFrames != 0;
            forEachPath(entries_[i], [&](const PathSlot& path) {
                direct = direct || from[path.via].empty() || from[path.via] == out[i].call;
                own.push_back({vias_[path.via], path.frames});
            });
            if (!direct)
                out[i].heardOnlyVia = heardOnlyVia(out[i].call, own);
        }
    }
    return out;
}

namespace {

// The first eight bytes of a text as a number that orders as the bytes do,
// missing ones as zero: most texts are told apart by it alone.
std::uint64_t orderPrefix(std::string_view text) {
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i)
        key = key << 8 | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return key;
}

} // namespace

std::vector<PathRecord> StationStats::paths() const {
    // The stations sorted once, then each one's few paths: cheaper than
    // sorting every path by its station. What is sorted is small; the texts
    // stay in place and are looked at only when two begin alike.
    struct Station {
        std::uint64_t prefix; // of the folded call
        std::uint32_t at;     // in `calls` and `folded`
        std::uint32_t index;  // the entry's
    };
    std::vector<Station> stations;
    std::vector<std::string> calls, folded; // folded: ASCII letters in lower case, as heardLess
    stations.reserve(entries_.size());
    calls.reserve(entries_.size());
    folded.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].pathCount == 0 && entries_[i].directFrames == 0)
            continue;
        std::string& call = calls.emplace_back(entries_[i].key.text());
        std::string& lower = folded.emplace_back(call);
        for (char& c : lower)
            c = text::asciiLower(c);
        stations.push_back({orderPrefix(lower), static_cast<std::uint32_t>(stations.size()),
                            static_cast<std::uint32_t>(i)});
    }
    std::sort(stations.begin(), stations.end(), [&](const Station& a, const Station& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        return folded[a.at] != folded[b.at] ? folded[a.at] < folded[b.at]
                                            : calls[a.at] < calls[b.at];
    });
    // The path texts' places in byte order.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> byText(vias_.size());
    for (std::uint32_t v = 0; v < byText.size(); ++v)
        byText[v] = {orderPrefix(vias_[v]), v};
    std::sort(byText.begin(), byText.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : vias_[a.second] < vias_[b.second];
    });
    std::vector<std::uint32_t> rank(vias_.size());
    for (std::uint32_t r = 0; r < byText.size(); ++r)
        rank[byText[r].second] = r;

    std::vector<PathRecord> out;
    out.reserve(pathCount_);
    std::vector<const PathSlot*> own;
    for (const Station& station : stations) {
        own.clear();
        forEachPath(entries_[station.index], [&](const PathSlot& path) { own.push_back(&path); });
        std::sort(own.begin(), own.end(), [&](const PathSlot* a, const PathSlot* b) {
            return rank[a->via] < rank[b->via];
        });
        // The path heard direct, the empty text, comes first in byte order.
        if (const Entry& e = entries_[station.index]; e.directFrames != 0) {
            PathRecord& r = out.emplace_back();
            r.station = calls[station.at];
            r.frames = e.directFrames;
            r.firstSecond = e.directFirst;
            r.lastSecond = e.directLast;
        }
        for (const PathSlot* e : own) {
            // Filled where it stands: a short text moved is copied again.
            PathRecord& r = out.emplace_back();
            r.station = calls[station.at];
            r.via = vias_[e->via];
            r.frames = e->frames;
            r.firstSecond = e->firstSecond;
            r.lastSecond = e->lastSecond;
        }
    }
    return out;
}

const std::vector<PathRecord>& PathTable::records() const {
    if (!records_)
        records_ = std::make_shared<const std::vector<PathRecord>>(
            stats_ ? stats_->paths() : std::vector<PathRecord>());
    return *records_;
}

ActivitySeries StationStats::activity() const {
    ActivitySeries series;
    if (earliestMinute_ < 0)
        return series;
    series.firstMinute = earliestMinute_;
    series.minutes.assign(buckets_.begin() + earliestMinute_, buckets_.begin() + latestMinute_ + 1);
    return series;
}

namespace {

// -1, 0 or 1 as a is before, level with or after b in the column's ascending
// order; stations without a stamp are placed by the caller.
int compareColumn(const StationRecord& a, const StationRecord& b, StationColumn column) {
    auto cmp = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column) {
    case StationColumn::Call:
        return 0; // the tie rule orders by call
    case StationColumn::Frames:
        return cmp(a.frames, b.frames);
    case StationColumn::FirstHeard:
        return cmp(a.firstSecond, b.firstSecond);
    case StationColumn::LastHeard:
        return cmp(a.lastSecond, b.lastSecond);
    case StationColumn::Direct:
        return cmp(a.direct, b.direct);
    case StationColumn::ViaDigipeater:
        return cmp(a.viaDigipeater, b.viaDigipeater);
    case StationColumn::Own:
        return cmp(a.own, b.own);
    }
    return 0;
}

int compareCalls(const StationRecord& a, const StationRecord& b) {
    if (heardLess(a.call, b.call))
        return -1;
    return heardLess(b.call, a.call) ? 1 : 0;
}

} // namespace

void sortStations(std::vector<StationRecord>& stations, StationColumn column, bool descending) {
    const bool timeColumn =
        column == StationColumn::FirstHeard || column == StationColumn::LastHeard;
    const int direction = descending ? -1 : 1;
    std::stable_sort(stations.begin(), stations.end(),
                     [&](const StationRecord& a, const StationRecord& b) {
                         if (timeColumn && a.stamped() != b.stamped())
                             return a.stamped();
                         if (const int c = compareColumn(a, b, column); c != 0)
                             return c * direction < 0;
                         const int calls = compareCalls(a, b);
                         return (column == StationColumn::Call ? calls * direction : calls) < 0;
                     });
}

std::string stationSummary(const StationRecord& station) {
    std::string out = std::to_string(station.frames);
    out += station.frames == 1 ? " frame" : " frames";
    if (station.stamped())
        out += ", first " + station.firstHeard() + ", last " + station.lastHeard();
    else
        out += ", no time stamp";
    if (station.direct > 0 && station.viaDigipeater > 0)
        out += ", direct and via digipeater";
    else if (station.viaDigipeater > 0)
        out += ", via digipeater";
    else
        out += ", direct";
    if (station.own)
        out += ", own call";
    if (!station.heardOnlyVia.empty()) {
        out += ", heard via ";
        for (std::size_t i = 0; i < station.heardOnlyVia.size(); ++i)
            out += (i == 0 ? "" : " or ") + station.heardOnlyVia[i];
    }
    return out;
}

std::string csvField(std::string_view raw) {
    // A spreadsheet takes a field that begins with one of these for a formula
    // (a call "=HYPERLINK(...)" would run); a leading apostrophe keeps it text.
    std::string field;
    if (!raw.empty() && std::string_view("=+-@\t\r").find(raw.front()) != std::string_view::npos)
        field.push_back('\'');
    field.append(raw);
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string out = "\"";
    for (const char c : field) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

std::string stationsCsv(const std::vector<StationRecord>& stations) {
    std::string out = "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n";
    for (const StationRecord& s : stations) {
        out += csvField(s.call);
        for (const std::string& field :
             {std::to_string(s.frames), s.firstHeard(), s.lastHeard(), std::to_string(s.direct),
              std::to_string(s.viaDigipeater), std::string(s.own ? "yes" : "no")}) {
            out.push_back(',');
            out += field;
        }
        out += "\r\n";
    }
    return out;
}

std::vector<AxisTick> timeTicks(const ActivitySeries& series, int maxTicks) {
    std::vector<AxisTick> ticks;
    if (series.empty() || maxTicks < 1)
        return ticks;
    const std::int64_t first = series.firstMinute;
    const std::int64_t last = first + static_cast<std::int64_t>(series.minutes.size()) - 1;
    auto marksFor = [&](std::int64_t step) { return last / step - (first + step - 1) / step + 1; };
    static constexpr std::int64_t Steps[] = {1,  2,   5,   10,  15,  20,  30,
                                             60, 120, 180, 240, 360, 720, 1440};
    std::int64_t step = 0;
    for (const std::int64_t s : Steps) {
        if (marksFor(s) <= maxTicks) {
            step = s;
            break;
        }
    }
    if (step == 0) { // whole days
        step = 1440 * ((last - first) / (1440 * maxTicks) + 1);
        while (marksFor(step) > maxTicks)
            step += 1440;
    }
    for (std::int64_t m = (first + step - 1) / step * step; m <= last; m += step)
        ticks.push_back({m, minuteText(m)});
    return ticks;
}

ValueAxis valueAxis(std::int32_t peak, int maxTicks) {
    ValueAxis axis;
    maxTicks = std::max(maxTicks, 1);
    const std::int64_t top = std::max<std::int64_t>(peak, 1);
    std::int64_t step = 1;
    for (std::int64_t power = 1;; power *= 10) {
        bool found = false;
        for (const std::int64_t factor : {1, 2, 5}) {
            step = factor * power;
            if ((top + step - 1) / step <= maxTicks) {
                found = true;
                break;
            }
        }
        if (found)
            break;
    }
    axis.top = static_cast<std::int32_t>((top + step - 1) / step * step);
    for (std::int64_t v = 0; v <= axis.top; v += step)
        axis.ticks.push_back({v, std::to_string(v)});
    return axis;
}

std::vector<ChartStep> chartSteps(const ActivitySeries& series,
                                  std::int32_t ActivityMinute::*figure, std::size_t columns) {
    const std::size_t count = series.minutes.size();
    const std::size_t steps = std::min(count, std::max<std::size_t>(columns, 1));
    std::vector<ChartStep> out;
    out.reserve(steps);
    for (std::size_t step = 0; step < steps; ++step) {
        ChartStep s{step * count / steps, (step + 1) * count / steps, 0};
        for (std::size_t i = s.from; i < s.to; ++i)
            s.value = std::max(s.value, series.minutes[i].*figure);
        out.push_back(s);
    }
    return out;
}

} // namespace tallix::analysis
