#pragma once
// The activity chart of a log as a file: received headers, own transmitted and
// own digipeated frames per minute over a labelled time axis, as SVG text or
// as a PNG picture (the same chart, its labels in a small built-in font).

#include <optional>
#include <string>
#include <string_view>

#include "analysis/station_stats.h"

namespace tallix::report {

enum class ChartFormat { Svg, Png };

// By the file name's ending, in any case: ".svg" or ".png".
std::optional<ChartFormat> chartFormatOf(std::string_view path);

inline constexpr int ChartWidth = 960;
inline constexpr int ChartHeight = 360;

std::string activityChartSvg(const analysis::ActivitySeries& series);
std::string activityChartPng(const analysis::ActivitySeries& series);

} // namespace tallix::report
