#include "graph_file.h"

#include "report_module.h"

namespace tallix::report {

namespace {

void collect(void* context, const char* bytes, std::size_t size) {
    static_cast<std::string*>(context)->append(bytes, size);
}

} // namespace

graph::GraphFile pathGraphFile(const std::vector<analysis::PathRecord>& paths,
                               std::string_view ownStation, graph::GraphFormat format) {
    graph::GraphFile file;
    const LoadedModule module = loadReportModule(GraphModuleName, GraphEntryName);
    if (!module.entry) {
        file.error = module.error;
        return file;
    }
    std::vector<GraphPath> plain;
    plain.reserve(paths.size());
    for (const analysis::PathRecord& p : paths)
        plain.push_back({p.station.data(), p.station.size(), p.via.data(), p.via.size(), p.frames});
    const auto entry = reinterpret_cast<GraphEntry>(module.entry);
    std::string out;
    if (entry(plain.data(), plain.size(), ownStation.data(), ownStation.size(),
              static_cast<int>(format), collect, &out) == 0)
        file.bytes = std::move(out);
    else
        file.error = out.empty() ? "the graph could not be made" : out;
    return file;
}

} // namespace tallix::report
