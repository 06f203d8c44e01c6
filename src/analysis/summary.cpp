#include "analysis/summary.h"

#include <cmath>

#include "text/basic_text.h"

namespace tallix::analysis {

namespace {
struct Clock {
    double hours, minutes, seconds;
};
Clock readClock(std::string_view time) {
    return {text::leadingNumber(text::mid(time, 1, 2)), text::leadingNumber(text::mid(time, 4, 2)),
            text::leadingNumber(text::mid(time, 7, 2))};
}
} // namespace

float logSeconds(std::string_view first, std::string_view last) {
    const Clock a = readClock(first);
    const Clock b = readClock(last);
    // No day wrap: a log that runs past midnight gives a negative span.
    auto seconds = static_cast<float>((b.hours - a.hours) * 3600 + (b.minutes - a.minutes) * 60 +
                                      (b.seconds - a.seconds));
    return seconds < 60 ? 60.0f : seconds;
}

double rxPerMinute(std::int32_t receivedHeaders, float logSecs) {
    return std::floor(static_cast<double>(receivedHeaders) / (static_cast<double>(logSecs) / 60.0));
}

std::string rxPerMinuteText(double perMinute) {
    if (perMinute < 1)
        return "<1";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.0f", perMinute);
    return buf;
}

std::string logTimeText(float logSecs) {
    // Rounded to the nearest second, a half to the even neighbour.
    const auto whole = static_cast<long long>(std::nearbyint(static_cast<double>(logSecs)));
    return std::to_string(whole / 60) + " min";
}

std::string efficiencyText(std::int16_t ownDigipeated, std::int32_t transmittedFrames) {
    if (transmittedFrames > ownDigipeated) {
        // Divided first, then multiplied, in double precision: 29 of 100 reads
        // 28 %, as the figure has always read.
        const double percent =
            std::floor(static_cast<double>(ownDigipeated) / transmittedFrames * 100.0);
        return text::singleText(static_cast<float>(percent)) + " %";
    }
    if (transmittedFrames != 0)
        return "100 %";
    return "none digipeated or TX frames absent";
}

std::string processedSizeText(std::int32_t processedBytes) {
    if (processedBytes > 10000)
        return text::singleText(static_cast<float>(processedBytes / 1000)) + " kB";
    return text::singleText(static_cast<float>(processedBytes)) + " Bytes";
}

SummaryFigures conclude(AnalysisResult& r, const ConclusionInput& in) {
    r.processedBytes = in.processedBytes;
    r.logSeconds = logSeconds(r.firstPacketTime, r.lastPacketTime);
    r.rxPerMinute = rxPerMinute(r.receivedHeaders, r.logSeconds);
    r.efficiency = efficiencyText(r.ownDigipeated, r.transmittedFrames);

    SummaryFigures f;
    f.totalBytesProcessed = "Total Bytes Processed =" + text::singleText(r.rawBytes);
    f.fileDate = text::trimSpaces(in.sourceDateText);
    f.processedSize = processedSizeText(r.processedBytes);
    f.totalLines = std::to_string(static_cast<long long>(r.keptLines) + r.ownDigipeated);
    f.ownDigipeated = std::to_string(r.ownDigipeated);
    f.lineCount = std::to_string(r.lineCount);
    f.receivedHeaders = std::to_string(r.receivedHeaders);
    f.transmittedFrames = std::to_string(r.transmittedFrames);
    f.heardCount = std::to_string(r.heardCount);
    f.firstPacketTime = r.firstPacketTime;
    f.lastPacketTime = r.lastPacketTime;
    f.rxPerMinute = rxPerMinuteText(r.rxPerMinute);
    f.logTime = logTimeText(r.logSeconds);
    f.efficiency = r.efficiency;
    f.heardListed = std::to_string(r.heardListed);
    f.processedCaption = in.removeTxFrames ? ProcessedCaptionRemoved : ProcessedCaptionKept;
    return f;
}

} // namespace tallix::analysis
