#pragma once
// The activity chart of a run, painted with QPainter: received headers, own
// transmitted and own digipeated frames per minute over a labelled time axis.
// The same painting serves the window, its "Save chart..." and tallix-report.
// Needs QtGui and QtSvg only, no widgets.

#include <QByteArray>
#include <QFont>
#include <QRect>
#include <QSize>

#include "analysis/station_stats.h"

class QPainter;

namespace tallix::chart {

// The size of the chart as a picture file.
inline constexpr QSize PictureSize(960, 360);

// Draws the chart into `area` with the painter's font.
void paintActivityChart(QPainter& painter, const QRect& area,
                        const analysis::ActivitySeries& series);

enum class PictureFormat { Svg, Png };

// The chart at PictureSize as a file's bytes: an SVG drawing or a PNG
// picture, its labels in `font`. Empty when it could not be painted.
QByteArray activityChartPicture(const analysis::ActivitySeries& series, PictureFormat format,
                                const QFont& font = QFont());

} // namespace tallix::chart
