#pragma once
// The conclusion of a run: the derived figures and every caption it writes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/frame_pass.h"

namespace tallix::analysis {

struct Caption {
    std::string element; // the window element's name, e.g. "Label16"
    std::string text;

    friend bool operator==(const Caption&, const Caption&) = default;
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

// Fills the derived fields of `result` and returns the captions in the order
// the conclusion writes them (the date caption "Label22" included).
std::vector<Caption> conclude(AnalysisResult& result, const ConclusionInput& input);

} // namespace tallix::analysis
