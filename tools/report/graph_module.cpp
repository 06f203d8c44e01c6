// tallix-report-graph.so: the path graph built and drawn for tallix-report,
// which loads this module only when a graph is asked for.

#include <type_traits>

#include "graph/path_graph.h"
#include "graph_file.h"

extern "C" __attribute__((visibility("default"))) int
tallix_report_graph(const tallix::report::GraphPath* paths, std::size_t count,
                    const char* ownStation, std::size_t ownStationSize, int format,
                    tallix::report::GraphSink sink, void* context) {
    static_assert(std::is_same_v<decltype(&tallix_report_graph), tallix::report::GraphEntry>);
    std::vector<tallix::analysis::PathRecord> records;
    records.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        tallix::analysis::PathRecord r;
        r.station.assign(paths[i].station, paths[i].stationSize);
        r.via.assign(paths[i].via, paths[i].viaSize);
        r.frames = paths[i].frames;
        records.push_back(std::move(r));
    }
    const tallix::graph::GraphFile file =
        tallix::graph::pathGraph(records, std::string_view(ownStation, ownStationSize),
                                 static_cast<tallix::graph::GraphFormat>(format));
    const std::string& out = file.error.empty() ? file.bytes : file.error;
    sink(context, out.data(), out.size());
    return file.error.empty() ? 0 : 1;
}
