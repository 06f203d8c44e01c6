#pragma once
// The activity chart as a file: SVG or PNG by the file name's ending. The
// chart is painted by the module tallix-report-chart.so (Qt, on the offscreen
// platform), loaded only when a chart is asked for, so that a run without one
// starts without Qt.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/station_stats.h"

namespace tallix::report {

enum class ChartFormat { Svg, Png };

// By the file name's ending, in any case: ".svg" or ".png".
std::optional<ChartFormat> chartFormatOf(std::string_view path);

struct ChartPicture {
    std::string bytes; // the file's bytes
    std::string error; // why there are none, in UTF-8; empty when painted
};
ChartPicture chartPicture(const analysis::ActivitySeries& series, ChartFormat format);

// Between the program and the module: plain types only, as each side has its
// own C++ runtime. The module hands the picture's bytes to `sink`, once or in
// pieces, and returns 0, or returns non-zero when it could not paint it.
extern "C" {
using ChartSink = void (*)(void* context, const char* bytes, std::size_t size);
using ChartEntry = int (*)(std::int64_t firstMinute, const analysis::ActivityMinute* minutes,
                           std::size_t count, int png, ChartSink sink, void* context);
}
inline constexpr const char* ChartModuleName = "tallix-report-chart.so";
inline constexpr const char* ChartEntryName = "tallix_report_chart";

} // namespace tallix::report
