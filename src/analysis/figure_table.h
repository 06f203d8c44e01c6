#pragma once
// Where each summary figure is shown: the main window's label that shows it
// and its key among the "captions" of tallix-report's JSON. The window, the
// tool and their tests all go through this one table.

#include <array>
#include <string>
#include <string_view>

#include "analysis/summary.h"

namespace tallix::analysis {

// What a figure's text is made of: bytes of the log (Windows-1252), or the
// desktop's own text (the file's date, in UTF-8).
enum class FigureText { LogBytes, DesktopText };

struct FigurePlace {
    std::string SummaryFigures::*figure;
    std::string_view element;   // the window label's object name
    std::string_view reportKey; // empty: not among the report's captions
    FigureText text = FigureText::LogBytes;
};

// In the order the conclusion writes the figures, which is also the order of
// the report's captions. Those leave out the file's date: a desktop text of
// when the file was written, not a figure of the log.
inline constexpr std::array<FigurePlace, 16> FigureTable{{
    {&SummaryFigures::totalBytesProcessed, "totalLineProcessed", "totalLineProcessed"},
    {&SummaryFigures::fileDate, "Label22", "", FigureText::DesktopText},
    {&SummaryFigures::processedSize, "Label24", "Label24"},
    {&SummaryFigures::totalLines, "Label14", "Label14"},
    {&SummaryFigures::ownDigipeated, "Label8", "Label8"},
    {&SummaryFigures::lineCount, "Label12", "Label12"},
    {&SummaryFigures::receivedHeaders, "Label16", "Label16"},
    {&SummaryFigures::transmittedFrames, "Label18", "Label18"},
    {&SummaryFigures::heardCount, "Label4", "Label4"},
    {&SummaryFigures::firstPacketTime, "Label26", "Label26"},
    {&SummaryFigures::lastPacketTime, "Label28", "Label28"},
    {&SummaryFigures::rxPerMinute, "Label30", "Label30"},
    {&SummaryFigures::logTime, "Label32", "Label32"},
    {&SummaryFigures::efficiency, "Label21", "Label21"},
    {&SummaryFigures::heardListed, "Label34", "Label34"},
    {&SummaryFigures::processedCaption, "Label7", "Label7"},
}};

// A figure added to SummaryFigures needs its row here.
static_assert(sizeof(SummaryFigures) == FigureTable.size() * sizeof(std::string));

} // namespace tallix::analysis
