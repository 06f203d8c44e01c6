#pragma once
// The graph of who is heard through whom: every station and digipeater of
// the paths a node, an edge for every hop of every path (station, first
// digipeater, ... ), weighted and labelled by the frames over it. Built with
// Graphviz's cgraph; laid out and drawn by its dot layout through gvc. The
// window and tallix-report show the same graph.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/station_paths.h"
#include "text/basic_text.h"

namespace tallix::graph {

enum class GraphFormat { Dot, Svg, Png };

// By the file name's ending, in any case: ".dot", ".svg" or ".png". Needs no
// Graphviz: tallix-report asks it before loading the graph's module.
inline std::optional<GraphFormat> graphFormatOf(std::string_view path) {
    const std::string ending = text::upperCase(path.substr(path.size() < 4 ? 0 : path.size() - 4));
    if (ending == ".DOT")
        return GraphFormat::Dot;
    if (ending == ".SVG")
        return GraphFormat::Svg;
    if (ending == ".PNG")
        return GraphFormat::Png;
    return std::nullopt;
}

struct GraphFile {
    std::string bytes; // the file's bytes: DOT text, an SVG drawing or a PNG picture
    std::string error; // why there are none, in UTF-8; empty when made
};

// The graph of `paths`, the own station's node marked (`ownStation`, the
// call as the station table holds it; empty for none). Calls are Windows-1252
// bytes, written as UTF-8. Calls from several threads are taken one at a time.
GraphFile pathGraph(const std::vector<analysis::PathRecord>& paths, std::string_view ownStation,
                    GraphFormat format);

} // namespace tallix::graph
