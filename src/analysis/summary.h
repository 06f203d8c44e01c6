#pragma once
// The conclusion of a run: the derived figures and the text each one shows.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/frame_pass.h"

namespace tallix::analysis {

// Every figure of a concluded run as it is shown, in the order the conclusion
// writes them. analysis/figure_table.h says where each one is shown.
struct SummaryFigures {
    std::string totalBytesProcessed; // "Total Bytes Processed =" and the raw byte figure
    std::string fileDate;            // the source's date, without surrounding blanks
    std::string processedSize;       // "147 Bytes", "15 kB"
    std::string totalLines;          // kept lines plus own digipeated frames
    std::string ownDigipeated;
    std::string lineCount;
    std::string receivedHeaders;
    std::string transmittedFrames;
    std::string heardCount;
    std::string firstPacketTime;
    std::string lastPacketTime;
    std::string rxPerMinute;
    std::string logTime;
    std::string efficiency;
    std::string heardListed;
    std::string processedCaption; // the processed pane's caption

    friend bool operator==(const SummaryFigures&, const SummaryFigures&) = default;
};

// Seconds between two "HH:MM:SS" texts, field by field, raised to 60 when smaller.
float logSeconds(std::string_view first, std::string_view last);
// Whole received frames per minute over `logSeconds`.
double rxPerMinute(std::int32_t receivedHeaders, float logSeconds);
std::string rxPerMinuteText(double rxPerMinute);
std::string logTimeText(float logSeconds);
std::string efficiencyText(std::int16_t ownDigipeated, std::int32_t transmittedFrames);
std::string processedSizeText(std::int32_t processedBytes);

inline constexpr const char* ProcessedCaptionRemoved = "Processed Raw File and TX frames removed";
inline constexpr const char* ProcessedCaptionKept = "Processed Raw File";

struct ConclusionInput {
    std::string_view sourceDateText;
    bool removeTxFrames = true; // the option as it stands when the run concludes
    std::int32_t processedBytes = 0;
};

// Fills the derived fields of `result` and returns every figure's text.
SummaryFigures conclude(AnalysisResult& result, const ConclusionInput& input);

} // namespace tallix::analysis
