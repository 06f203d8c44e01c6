#include "activity_chart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "png_writer.h"
#include "text/basic_text.h"

namespace tallix::report {

namespace {

using analysis::ActivityMinute;
using analysis::ActivitySeries;

constexpr const char* Title = "Activity per minute";
constexpr const char* NoStamps = "No time stamps in this log";

struct SeriesLook {
    const char* name;
    const char* colour; // as SVG writes it
    Rgb rgb;
    std::int32_t ActivityMinute::*figure;
};

// Drawn in this order: the received area first, own frames on top.
constexpr SeriesLook Looks[] = {
    {"received", "#3060c0", {0x30, 0x60, 0xC0}, &ActivityMinute::received},
    {"own digipeated", "#20a040", {0x20, 0xA0, 0x40}, &ActivityMinute::digipeated},
    {"own transmitted", "#d03030", {0xD0, 0x30, 0x30}, &ActivityMinute::transmitted},
};
constexpr const char* ReceivedFill = "#c4d6f4";

// Where the chart's parts lie, in pixels.
struct Layout {
    static constexpr int Left = 56, Right = 16, Top = 48, Bottom = 40;
    std::size_t minutes;
    std::int32_t top;

    double plotLeft() const { return Left; }
    double plotRight() const { return ChartWidth - Right; }
    double plotTop() const { return Top; }
    double plotBottom() const { return ChartHeight - Bottom; }
    // The left edge of minute `i` of the series (i = minutes: the right end).
    double x(double i) const {
        return plotLeft() + (plotRight() - plotLeft()) * i / static_cast<double>(minutes);
    }
    double y(double value) const { return plotBottom() - (plotBottom() - plotTop()) * value / top; }
};

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    std::string s = buffer;
    if (s.size() > 2 && s.ends_with(".0"))
        s.resize(s.size() - 2);
    return s;
}

// ---- SVG ----

std::string svgText(double x, double y, std::string_view text, const char* anchor,
                    const char* extra = "") {
    // Chart labels are clock times, figures and fixed words: nothing to escape.
    return "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" text-anchor=\"" + anchor + "\"" +
           extra + ">" + std::string(text) + "</text>\n";
}

// A step line over the minutes: level across each minute, upright between.
std::string stepPath(const ActivitySeries& series, const Layout& at,
                     std::int32_t ActivityMinute::*figure, bool area) {
    std::string d =
        area ? "M" + number(at.x(0)) + " " + number(at.y(0)) + " V" : "M" + number(at.x(0)) + " ";
    for (std::size_t i = 0; i < series.minutes.size(); ++i) {
        const double v = series.minutes[i].*figure;
        if (i > 0)
            d += " V";
        d += number(at.y(v)) + " H" + number(at.x(static_cast<double>(i + 1)));
    }
    if (area)
        d += " V" + number(at.y(0)) + " Z";
    return d;
}

// ---- PNG ----

// A 5 × 7 font for the labels, drawn in capitals: each row's five bits, the
// leftmost pixel in bit 4.
struct Glyph {
    char c;
    std::array<std::uint8_t, 7> rows;
};
constexpr Glyph Font[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}},
    {'A', {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
};
constexpr int GlyphAdvance = 6;

enum Ink : std::uint8_t { White, Black, Grid, Fill, Received, Digipeated, Transmitted, Grey };

class Canvas {
public:
    Canvas() : pixels_(static_cast<std::size_t>(ChartWidth) * ChartHeight, White) {}

    void fill(double x0, double y0, double x1, double y1, Ink ink) {
        const int l = std::max(0, static_cast<int>(std::lround(std::min(x0, x1))));
        const int r = std::min(ChartWidth, static_cast<int>(std::lround(std::max(x0, x1))));
        const int t = std::max(0, static_cast<int>(std::lround(std::min(y0, y1))));
        const int b = std::min(ChartHeight, static_cast<int>(std::lround(std::max(y0, y1))));
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                at(x, y) = ink;
    }
    // A line of `width` pixels across or down, through the pixel centres
    // nearest to the given points.
    void across(double x0, double x1, double y, Ink ink, int width = 1) {
        const double top = std::floor(y - (width - 1) / 2.0);
        fill(x0, top, x1 + 1, top + width, ink);
    }
    void down(double x, double y0, double y1, Ink ink, int width = 1) {
        const double left = std::floor(x - (width - 1) / 2.0);
        fill(left, std::min(y0, y1), left + width, std::max(y0, y1) + 1, ink);
    }
    // `align`: -1 left, 0 centred, 1 right of x; y is the text's top.
    void text(double x, double y, std::string_view s, int align, Ink ink) {
        const int width = static_cast<int>(s.size()) * GlyphAdvance - 1;
        int left = static_cast<int>(std::lround(x)) - (align == 0 ? width / 2 : 0) -
                   (align > 0 ? width : 0);
        const int top = static_cast<int>(std::lround(y));
        for (const char c : text::upperCase(s)) {
            for (const Glyph& g : Font) {
                if (g.c != c)
                    continue;
                for (int row = 0; row < 7; ++row)
                    for (int col = 0; col < 5; ++col)
                        if (g.rows[static_cast<std::size_t>(row)] & (0x10 >> col))
                            fill(left + col, top + row, left + col + 1, top + row + 1, ink);
            }
            left += GlyphAdvance;
        }
    }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

private:
    std::uint8_t& at(int x, int y) {
        return pixels_[static_cast<std::size_t>(y) * ChartWidth + static_cast<std::size_t>(x)];
    }
    std::vector<std::uint8_t> pixels_;
};

} // namespace

std::optional<ChartFormat> chartFormatOf(std::string_view path) {
    if (path.size() < 4)
        return std::nullopt;
    const std::string ending = text::upperCase(path.substr(path.size() - 4));
    if (ending == ".SVG")
        return ChartFormat::Svg;
    if (ending == ".PNG")
        return ChartFormat::Png;
    return std::nullopt;
}

std::string activityChartSvg(const ActivitySeries& series) {
    const analysis::ValueAxis values = analysis::valueAxis(series.peak(), 5);
    const Layout at{std::max<std::size_t>(series.minutes.size(), 1), values.top};
    const std::string w = std::to_string(ChartWidth), h = std::to_string(ChartHeight);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n"
                      "<rect width=\"" +
                      w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n";
    svg += svgText(at.plotLeft(), 18, Title, "start", " font-size=\"13\" font-weight=\"bold\"");
    double legendX = at.plotLeft();
    for (const SeriesLook& look : Looks) {
        svg += "<rect x=\"" + number(legendX) + "\" y=\"28\" width=\"10\" height=\"10\" fill=\"" +
               look.colour + "\"/>\n";
        svg += svgText(legendX + 14, 37, look.name, "start");
        legendX += 14 + 7.0 * static_cast<double>(std::string_view(look.name).size()) + 24;
    }

    for (const analysis::AxisTick& tick : values.ticks) {
        const double y = at.y(static_cast<double>(tick.value));
        svg += "<line x1=\"" + number(at.plotLeft()) + "\" y1=\"" + number(y) + "\" x2=\"" +
               number(at.plotRight()) + "\" y2=\"" + number(y) +
               "\" stroke=\"#e0e0e0\" stroke-width=\"1\"/>\n";
        svg += svgText(at.plotLeft() - 6, y + 4, tick.label, "end");
    }
    if (series.empty()) {
        svg += svgText((at.plotLeft() + at.plotRight()) / 2, (at.plotTop() + at.plotBottom()) / 2,
                       NoStamps, "middle", " fill=\"#606060\"");
    } else {
        for (const analysis::AxisTick& tick : analysis::timeTicks(series, 12)) {
            const double x = at.x(static_cast<double>(tick.value - series.firstMinute));
            svg += "<line x1=\"" + number(x) + "\" y1=\"" + number(at.plotBottom()) + "\" x2=\"" +
                   number(x) + "\" y2=\"" + number(at.plotBottom() + 5) +
                   "\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
            svg += svgText(x, at.plotBottom() + 18, tick.label, "middle");
        }
        svg += "<path d=\"" + stepPath(series, at, Looks[0].figure, true) + "\" fill=\"" +
               ReceivedFill + "\" stroke=\"none\"/>\n";
        for (const SeriesLook& look : Looks)
            svg += "<path d=\"" + stepPath(series, at, look.figure, false) +
                   "\" fill=\"none\" stroke=\"" + look.colour +
                   "\" stroke-width=\"1.5\" stroke-linejoin=\"miter\"/>\n";
    }
    svg += "<path d=\"M" + number(at.plotLeft()) + " " + number(at.plotTop()) + " V" +
           number(at.plotBottom()) + " H" + number(at.plotRight()) +
           "\" fill=\"none\" stroke=\"#000000\" stroke-width=\"1\"/>\n";
    svg += svgText((at.plotLeft() + at.plotRight()) / 2, ChartHeight - 6, "time (HH:MM)", "middle",
                   " fill=\"#606060\"");
    svg += "</svg>\n";
    return svg;
}

std::string activityChartPng(const ActivitySeries& series) {
    const analysis::ValueAxis values = analysis::valueAxis(series.peak(), 5);
    const Layout at{std::max<std::size_t>(series.minutes.size(), 1), values.top};
    Canvas canvas;
    canvas.text(at.plotLeft(), 8, Title, -1, Black);
    double legendX = at.plotLeft();
    const Ink looks[] = {Received, Digipeated, Transmitted};
    for (std::size_t i = 0; i < std::size(Looks); ++i) {
        canvas.fill(legendX, 28, legendX + 10, 38, looks[i]);
        canvas.text(legendX + 14, 30, Looks[i].name, -1, Black);
        legendX +=
            14 + GlyphAdvance * static_cast<double>(std::string_view(Looks[i].name).size()) + 24;
    }
    for (const analysis::AxisTick& tick : values.ticks) {
        const double y = std::round(at.y(static_cast<double>(tick.value)));
        canvas.across(at.plotLeft(), at.plotRight(), y, Grid);
        canvas.text(at.plotLeft() - 6, y - 3, tick.label, 1, Grey);
    }
    if (series.empty()) {
        canvas.text((at.plotLeft() + at.plotRight()) / 2, (at.plotTop() + at.plotBottom()) / 2,
                    NoStamps, 0, Grey);
    } else {
        for (const analysis::AxisTick& tick : analysis::timeTicks(series, 12)) {
            const double x = std::round(at.x(static_cast<double>(tick.value - series.firstMinute)));
            canvas.down(x, at.plotBottom(), at.plotBottom() + 5, Black);
            canvas.text(x, at.plotBottom() + 10, tick.label, 0, Black);
        }
        for (std::size_t i = 0; i < series.minutes.size(); ++i) {
            const double v = series.minutes[i].received;
            if (v > 0)
                canvas.fill(at.x(static_cast<double>(i)), at.y(v), at.x(static_cast<double>(i + 1)),
                            at.y(0), Fill);
        }
        for (std::size_t s = 0; s < std::size(Looks); ++s) {
            double previous = 0;
            for (std::size_t i = 0; i < series.minutes.size(); ++i) {
                const double y = std::round(at.y(series.minutes[i].*Looks[s].figure));
                const double x0 = std::round(at.x(static_cast<double>(i)));
                const double x1 = std::round(at.x(static_cast<double>(i + 1)));
                if (i > 0)
                    canvas.down(x0, previous, y, looks[s], 2);
                canvas.across(x0, x1, y, looks[s], 2);
                previous = y;
            }
        }
    }
    canvas.down(at.plotLeft(), at.plotTop(), at.plotBottom(), Black);
    canvas.across(at.plotLeft(), at.plotRight(), at.plotBottom(), Black);
    canvas.text((at.plotLeft() + at.plotRight()) / 2, ChartHeight - 12, "time (HH:MM)", 0, Grey);

    const std::vector<Rgb> palette = {{0xFF, 0xFF, 0xFF}, {0, 0, 0},         {0xE0, 0xE0, 0xE0},
                                      {0xC4, 0xD6, 0xF4}, Looks[0].rgb,      Looks[1].rgb,
                                      Looks[2].rgb,       {0x60, 0x60, 0x60}};
    return encodePng(ChartWidth, ChartHeight, palette, canvas.pixels());
}

} // namespace tallix::report
