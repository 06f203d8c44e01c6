#pragma once
// The main pass over the stored lines: which lines are frame headers, which are
// the operator's own, which came back through the digipeater, and which belong
// in the processed text.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/heard_list.h"
#include "analysis/line_store.h"

namespace tallix::analysis {

class RunControl;
class StationStats;

struct AnalysisResult {
    std::int32_t lineCount = 0;
    float rawBytes = 0;
    std::int32_t receivedHeaders = 0;
    std::int32_t transmittedFrames = 0;
    std::int16_t ownDigipeated = 0; // stays at 32767 once it gets there
    std::int32_t keptLines = 0;
    std::string firstPacketTime;
    std::string lastPacketTime;
    std::int16_t heardCount = 0;
    std::int16_t heardListed = 0;
    // Derived when the run concludes.
    std::int32_t processedBytes = 0;
    float logSeconds = 60;
    double rxPerMinute = 0;
    std::string efficiency;
};

// True when `line` is an own header: its text up to and including the "T" of
// its first "To " equals "Fm " + ownCall + " T".
bool isOwnHeader(std::string_view line, std::string_view ownCall);
// Whether the first two characters read "fm" in any case.
bool isStationHeader(std::string_view line);
// The up to eight characters after the first ">[", or nothing.
bool packetTime(std::string_view line, std::string_view& time);

// A progress caption, prefix + line number + suffix ("Processing Data Line
// 17/240"), kept in one buffer: the run asks for line after line, so the number
// is counted up in place instead of being formatted anew every time.
class LineCaption {
public:
    LineCaption(std::string_view prefix, std::string_view suffix);
    std::string_view forLine(std::int32_t line);

private:
    std::string prefix_;
    std::string suffix_;
    std::string buffer_;
    std::int32_t line_ = -1;
};

LineCaption passCaption(float previewLineCount);
LineCaption preprocessCaption();

struct PassOutput {
    bool cancelled = false;
    std::int32_t linesHandled = 0;
    std::size_t processedSize = 0; // bytes written to the processed text
};

// The main pass one line at a time, for a caller that hands the lines over as
// it cuts them: the same rules as analyseLines, which is built on it. Nobody
// watching (RunControl::showsProgress false): no captions, and the removal
// option, which only a window can change, is read once.
class FramePass {
public:
    FramePass(std::string_view ownCall, float previewLineCount, HeardStore& heard,
              RunControl& control, AnalysisResult& result, std::string* processed,
              StationStats* stats);
    // Line i (pre-processed); false when a cancel ends the pass after it.
    bool step(std::int32_t i, std::string_view line);
    PassOutput finish();

private:
    void write(std::string_view line);

    std::string_view ownCall_;
    HeardStore& heard_;
    RunControl& control_;
    AnalysisResult& result_;
    std::string* processed_;
    StationStats* stats_;
    LineCaption caption_;
    bool watched_;
    bool removalAtStart_;
    bool inOwnFrame_ = false;
    bool ownFrameDigipeated_ = false;
    std::int32_t blankRun_ = 0;
    bool firstTimeSeen_ = false;
    PassOutput out_;
};

// Walks lines 1..store.count() (at most MaxLines are ever passed in). Counters
// and times go into `result`; with the removal option on (read per line from
// `control`) the kept lines are written to the processed text, each with CR
// LF: appended to `processed`, or only counted when it is null. With `stats`
// the station statistics are gathered in the same pass.
PassOutput analyseLines(const LineStore& store, std::string_view ownCall, float previewLineCount,
                        HeardStore& heard, RunControl& control, AnalysisResult& result,
                        std::string* processed, StationStats* stats = nullptr);

} // namespace tallix::analysis
