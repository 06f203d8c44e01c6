#pragma once
// Station statistics of one log, gathered in the main pass: per station (keyed
// by the call exactly as the heard list cuts it) its header lines, when it was
// first and last heard and whether directly or through a digipeater; and the
// log's activity per minute. Also their table order, their CSV text and the
// axes of the activity chart.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/call_key.h"
#include "analysis/station_paths.h"

namespace tallix::analysis {

inline constexpr std::int64_t SecondsPerDay = 24 * 60 * 60;
// The activity series covers at most this many minutes of the log's time line
// (100 days); frames placed later are left out of it.
inline constexpr std::int64_t MaxActivityMinutes = 100 * 24 * 60;

// Seconds after midnight of a well-formed stamp "HH:MM:SS" (00:00:00 to
// 23:59:59), or -1 for anything else.
std::int32_t stampSeconds(std::string_view stamp);

// A second of the log's time line as "HH:MM:SS", a minute as "HH:MM"; the day
// is dropped. The time line starts at midnight before the log's first stamp.
std::string secondText(std::int64_t second);
std::string minuteText(std::int64_t minute);

struct StationRecord {
    std::string call;               // as the heard list cuts it
    std::int32_t frames = 0;        // station header lines
    std::int32_t direct = 0;        // of them without "*"
    std::int32_t viaDigipeater = 0; // of them with "*"
    std::int64_t firstSecond = -1;  // on the log's time line; -1: no well-formed stamp
    std::int64_t lastSecond = -1;
    bool own = false;
    // Never heard direct: the digipeaters it was heard from ("D1*"), the one
    // with most frames first. Empty when heard direct, or paths not gathered.
    std::vector<std::string> heardOnlyVia{};

    bool stamped() const { return firstSecond >= 0; }
    std::string firstHeard() const { return stamped() ? secondText(firstSecond) : std::string(); }
    std::string lastHeard() const { return stamped() ? secondText(lastSecond) : std::string(); }
};

// The own station's call, or empty when it was not heard.
std::string ownStationOf(const std::vector<StationRecord>& stations);

struct ActivityMinute {
    std::int32_t received = 0;    // headers counted as received headers
    std::int32_t transmitted = 0; // own frames as transmitted
    std::int32_t digipeated = 0;  // own frames heard back through the digipeater
    friend bool operator==(const ActivityMinute&, const ActivityMinute&) = default;
};

struct ActivitySeries {
    std::int64_t firstMinute = 0; // the time-line minute of minutes[0]
    std::vector<ActivityMinute> minutes;

    bool empty() const { return minutes.empty(); }
    // The highest single figure of any minute.
    std::int32_t peak() const;
};

// Gathers the statistics while the main pass walks the lines. The pass tells
// it every station header line first, then what that line counted as.
//
// Time: only well-formed stamps count. A stamp earlier than the one before it
// by more than twelve hours is taken for the next day, so a log that runs past
// midnight goes on along the time line. Frames are placed in the minute of the
// most recent stamp seen so far (their own, if they carry one); frames before
// the first stamp are not placed at all.
class StationStats {
public:
    // The own station is the one whose call the heard list cuts from an own
    // header ("Fm " + ownCall + " To ..."). With `paths` each station's
    // digipeater paths are gathered too.
    explicit StationStats(std::string_view ownCall, bool paths = false);

    // A station header line and the (up to) eight characters after its ">[",
    // empty when it has none.
    void stationHeader(std::string_view line, std::string_view stamp);
    void receivedHeader() {
        if (minute_ >= 0)
            ++buckets_[static_cast<std::size_t>(minute_)].received;
    }
    void transmittedFrame() {
        if (minute_ >= 0)
            ++buckets_[static_cast<std::size_t>(minute_)].transmitted;
    }
    void digipeatedFrame() {
        if (minute_ >= 0)
            ++buckets_[static_cast<std::size_t>(minute_)].digipeated;
    }

    // Every station in the order first heard.
    std::vector<StationRecord> stations() const;
    // From the earliest to the latest stamped minute.
    ActivitySeries activity() const;
    // Every station's paths in their table order; empty unless gathered.
    std::vector<PathRecord> paths() const;

private:
    using Key = CallKey;
    // One path of a station through digipeaters: its text packed as a call
    // is, when it has at most 15 bytes; a longer one keeps its first 15 and
    // 0xFF in the length byte, and is told apart by its whole text.
    struct PathSlot {
        Key text;
        std::uint32_t via = 0;     // the path's text, an index into `vias_`
        std::uint32_t station = 0; // the entry's index
        std::uint32_t older = 0;   // beyond the block: the station's path before it, index + 1
        std::int32_t frames = 0;
        std::int64_t firstSecond = -1;
        std::int64_t lastSecond = -1;
    };
    // A station's first paths lie side by side in a block of `paths_`, their
    // fingerprints in the station's entry: all of them are compared at once,
    // without a branch on which one matches. Stations with more paths find
    // the rest through `pathIndex_`.
    static constexpr std::size_t BlockPaths = 8;
    // What every header of the station reads, the prints included, lies in
    // its first 64 bytes.
    struct alignas(64) Entry {
        Key key;
        std::int32_t frames = 0;
        std::int32_t viaDigipeater = 0;
        std::uint32_t pathCount = 0;
        std::uint32_t pathBlock = 0; // the index in `paths_` of its block
        std::array<std::uint32_t, BlockPaths> prints{};
        std::int64_t firstSecond = -1;
        std::int64_t lastSecond = -1;
        std::uint32_t newestBeyond = 0; // its newest path beyond the block, index + 1
        // Its path heard direct, kept beside its times, which every header
        // of the station reads anyway.
        std::int32_t directFrames = 0;
        std::int64_t directFirst = -1;
        std::int64_t directLast = -1;
    };
    // Open addressing from a 64-bit key to an index + 1 (0: empty slot), kept
    // at most half full.
    class IndexTable {
    public:
        // The slot of `key` for which `same(index)` holds, or the empty slot
        // where it would go.
        template <class Same> std::uint32_t& find(std::uint64_t key, Same same);
        // After an insertion into the slot find gave.
        void added(std::size_t count);

    private:
        struct Slot {
            std::uint64_t key = 0;
            std::uint32_t index = 0;
        };
        std::vector<Slot> slots_;
        std::size_t mask_ = 0;
    };
    Entry& entryFor(const Key& key);
    void countPath(Entry& entry, std::string_view via, const char* lineEnd, bool stamped);
    // The path not found in the station's block: found beyond it, or added.
    PathSlot& pathBeyondBlock(Entry& entry, const Key& text, std::uint64_t print,
                              std::string_view via);
    bool samePath(const PathSlot& path, const Key& text, std::string_view via) const {
        return path.text.low == text.low && path.text.high == text.high &&
               (text.high >> 56 != 0xFF || vias_[path.via] == via);
    }
    // Calls `visit` with each of the entry's paths.
    template <class Visit> void forEachPath(const Entry& entry, Visit visit) const {
        const std::size_t inBlock = std::min<std::size_t>(entry.pathCount, BlockPaths);
        for (std::size_t i = 0; i < inBlock; ++i)
            visit(paths_[entry.pathBlock + i]);
        for (std::uint32_t p = entry.newestBeyond; p != 0; p = paths_[p - 1].older)
            visit(paths_[p - 1]);
    }
    // The path text's number in `vias_`, a new one for a text not met before.
    std::uint32_t viaNumber(std::string_view via);
    void grow();
    void advanceClock(std::int32_t secondOfDay);

    Key ownKey_;
    bool gatherPaths_;
    std::vector<Entry> entries_;
    std::vector<PathSlot> paths_;
    std::size_t pathCount_ = 0;    // of all stations
    std::size_t beyondBlocks_ = 0; // of them, those in `pathIndex_`
    // Every path text once: a log has far fewer of them than stations, so
    // they are told apart by a number while the pass runs.
    std::vector<std::string> vias_;
    IndexTable viaIndex_;  // by the text's hash
    IndexTable pathIndex_; // paths beyond their station's block, by station and fingerprint
    // Open addressing over `entries_`, the key kept beside the index so that
    // a probe reads one slot; index 0 marks an empty slot, others are the
    // entry's index + 1. Kept at most half full.
    struct Slot {
        Key key;
        std::uint32_t index = 0;
    };
    std::vector<Slot> slots_;
    std::size_t mask_ = 0; // slots_.size() - 1

    std::int32_t previousOfDay_ = -1;
    std::int64_t dayStart_ = 0;
    std::int64_t now_ = -1;    // time-line second of the most recent stamp
    std::int64_t minute_ = -1; // its bucket, -1 when none or out of range
    std::int64_t earliestMinute_ = -1;
    std::int64_t latestMinute_ = -1;
    std::vector<ActivityMinute> buckets_; // indexed by time-line minute
};

// The paths a run gathered, made into records when first asked for: the
// window shows them only while its Heard stations window is open. Asked from
// one thread at a time.
class PathTable {
public:
    PathTable() = default;
    explicit PathTable(std::shared_ptr<const StationStats> stats) : stats_(std::move(stats)) {}
    // Every station's paths in their table order; empty when none were gathered.
    const std::vector<PathRecord>& records() const;

private:
    std::shared_ptr<const StationStats> stats_;
    mutable std::shared_ptr<const std::vector<PathRecord>> records_;
};

// Columns of the station table, and their order: each column ascending
// (calls as the sorted heard list orders them, false before true), stations
// without a stamp after all others in both directions of the time columns,
// ties by call.
enum class StationColumn { Call, Frames, FirstHeard, LastHeard, Direct, ViaDigipeater, Own };
inline constexpr int StationColumnCount = 7;
void sortStations(std::vector<StationRecord>& stations, StationColumn column, bool descending);

// "12 frames, first 10:00:00, last 10:42:13, direct and via digipeater"; a
// station never heard direct adds ", heard via DB0ABC*".
std::string stationSummary(const StationRecord& station);

// A field of a CSV row: quoted when it holds a comma, a quote, CR or LF, its
// quotes doubled; one that begins with "=", "+", "-", "@", a tab or CR (a
// formula to a spreadsheet) gets a leading "'".
std::string csvField(std::string_view field);
// The table with a header row; bytes as kept, CR LF after every row.
std::string stationsCsv(const std::vector<StationRecord>& stations);

// Marks of a chart axis: where along the axis, and the label.
struct AxisTick {
    std::int64_t value = 0;
    std::string label;
};
// Time marks on round clock times, at most `maxTicks` over the series.
std::vector<AxisTick> timeTicks(const ActivitySeries& series, int maxTicks);
// The top of the value axis (at least 1) and its marks in steps of 1, 2 or 5
// times a power of ten, at most `maxTicks` + 1 of them (0 included).
struct ValueAxis {
    std::int32_t top = 1;
    std::vector<AxisTick> ticks;
};
ValueAxis valueAxis(std::int32_t peak, int maxTicks);

// One level of a figure's step line: minutes [from, to) of the series drawn at
// `value`.
struct ChartStep {
    std::size_t from = 0;
    std::size_t to = 0;
    std::int32_t value = 0;
    friend bool operator==(const ChartStep&, const ChartStep&) = default;
};
// A figure as steps across `columns` pixel columns: one step a minute, or,
// with more minutes than columns, one step a column covering that column's
// minutes at the highest figure among them, so that a long log draws as fast
// as a short one and no peak is lost.
std::vector<ChartStep> chartSteps(const ActivitySeries& series,
                                  std::int32_t ActivityMinute::*figure, std::size_t columns);

} // namespace tallix::analysis
