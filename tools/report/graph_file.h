#pragma once
// The path graph as a file: DOT, SVG or PNG by the file name's ending. Built
// and drawn by the module tallix-report-graph.so (Graphviz), loaded only when
// a graph is asked for, so that a run without one starts without Graphviz.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/station_paths.h"
#include "graph/path_graph.h"

namespace tallix::report {

graph::GraphFile pathGraphFile(const std::vector<analysis::PathRecord>& paths,
                               std::string_view ownStation, graph::GraphFormat format);

// Between the program and the module: plain types only, as each side has its
// own C++ runtime. The module hands the file's bytes, or else why there are
// none, to `sink`, once or in pieces, and returns 0 when made, non-zero when not.
extern "C" {
struct GraphPath {
    const char* station;
    std::size_t stationSize;
    const char* via;
    std::size_t viaSize;
    std::int32_t frames;
};
using GraphSink = void (*)(void* context, const char* bytes, std::size_t size);
using GraphEntry = int (*)(const GraphPath* paths, std::size_t count, const char* ownStation,
                           std::size_t ownStationSize, int format, GraphSink sink, void* context);
}
inline constexpr const char* GraphModuleName = "tallix-report-graph.so";
inline constexpr const char* GraphEntryName = "tallix_report_graph";

} // namespace tallix::report
