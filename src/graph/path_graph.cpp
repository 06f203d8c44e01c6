#include "graph/path_graph.h"

#include <graphviz/cgraph.h>
#include <graphviz/gvc.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "text/basic_text.h"
#include "text/cp1252.h"

namespace tallix::graph {

namespace {

// Graphviz's functions take texts as char*, which they do not change.
char* c(const char* text) {
    return const_cast<char*>(text);
}

// A call as a node name: control bytes shown as "\x1b" and the like, then
// UTF-8, so that no byte of a log can break the DOT text.
std::string nodeName(std::string_view call) {
    return text::cp1252ToUtf8(text::visibleBytes(call));
}

// A label is read for escapes ("\n", "\N"): its backslashes doubled.
std::string labelOf(std::string_view name) {
    std::string out;
    for (const char ch : name) {
        if (ch == '\\')
            out.push_back('\\');
        out.push_back(ch);
    }
    return out;
}

struct GraphClose {
    void operator()(Agraph_t* g) const { agclose(g); }
};
using GraphHandle = std::unique_ptr<Agraph_t, GraphClose>;

struct Built {
    GraphHandle graph;
    std::string error;
};

Built build(const std::vector<analysis::PathRecord>& paths, std::string_view ownStation) {
    Built built;
    built.graph.reset(agopen(c("paths"), Agdirected, nullptr));
    Agraph_t* g = built.graph.get();
    if (!g) {
        built.error = "the graph could not be made";
        return built;
    }
    // The attributes every graph, node and edge starts with.
    struct Default {
        int kind;
        const char* name;
        const char* value;
    };
    constexpr const char* Font = "Helvetica,Arial,sans-serif";
    for (const Default& d : {Default{AGRAPH, "rankdir", "LR"}, Default{AGRAPH, "fontname", Font},
                             Default{AGNODE, "fontname", Font}, Default{AGNODE, "shape", "ellipse"},
                             Default{AGNODE, "style", ""}, Default{AGNODE, "fillcolor", ""},
                             Default{AGNODE, "peripheries", "1"}, Default{AGNODE, "label", "\\N"},
                             Default{AGEDGE, "fontname", Font}, Default{AGEDGE, "fontsize", "10"},
                             Default{AGEDGE, "label", ""}, Default{AGEDGE, "weight", "1"},
                             Default{AGEDGE, "penwidth", "1"}})
        agattr(g, d.kind, c(d.name), c(d.value));

    auto node = [&](std::string_view call) {
        const std::string name = nodeName(call);
        Agnode_t* n = agnode(g, c(name.c_str()), 1);
        if (name.find('\\') != std::string::npos)
            agset(n, c("label"), c(labelOf(name).c_str()));
        return n;
    };
    // Every hop's frames, in the order first met.
    std::vector<std::pair<Agnode_t*, Agnode_t*>> hops;
    std::map<std::pair<Agnode_t*, Agnode_t*>, long long> frames;
    for (const analysis::PathRecord& path : paths) {
        Agnode_t* from = node(path.station);
        for (const analysis::PathHop& hop : analysis::pathHops(path.via)) {
            Agnode_t* to = node(hop.call);
            agset(to, c("shape"), c("box"));
            const auto [it, added] = frames.try_emplace({from, to}, 0);
            if (added)
                hops.emplace_back(from, to);
            it->second += path.frames;
            from = to;
        }
    }
    if (!ownStation.empty()) {
        const std::string name = nodeName(ownStation);
        if (Agnode_t* own = agnode(g, c(name.c_str()), 0)) {
            agset(own, c("style"), c("filled"));
            agset(own, c("fillcolor"), c("lightblue"));
            agset(own, c("peripheries"), c("2"));
        }
    }
    for (const auto& [from, to] : hops) {
        const long long count = frames.at({from, to});
        Agedge_t* e = agedge(g, from, to, nullptr, 1);
        const std::string label = std::to_string(count);
        agset(e, c("label"), c(label.c_str()));
        agset(e, c("weight"), c(label.c_str()));
        // Thicker with more frames, but a busy hop does not swamp the drawing.
        const std::string width =
            std::to_string(1 + static_cast<int>(std::log10(static_cast<double>(count)) * 1.5));
        agset(e, c("penwidth"), c(width.c_str()));
    }
    return built;
}

// One context for the whole process, never freed: Graphviz's text layout
// (its pango plugin) keeps a pointer to the last font name it measured, which
// freeing a context would leave dangling for the next drawing.
GVC_t* graphvizContext() {
    static GVC_t* const context = gvContext();
    return context;
}

std::string dotText(Agraph_t* g) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&data, &size);
    if (!stream)
        return {};
    const bool written = agwrite(g, stream) == 0;
    std::fclose(stream);
    std::string out = written && data ? std::string(data, size) : std::string();
    std::free(data);
    return out;
}

} // namespace

GraphFile pathGraph(const std::vector<analysis::PathRecord>& paths, std::string_view ownStation,
                    GraphFormat format) {
    // Graphviz keeps state of its own between calls and is not made for
    // threads: one graph at a time, from building to freeing.
    static std::mutex inUse;
    const std::lock_guard<std::mutex> lock(inUse);
    GraphFile file;
    Built built = build(paths, ownStation);
    if (!built.error.empty()) {
        file.error = built.error;
        return file;
    }
    Agraph_t* g = built.graph.get();
    if (format == GraphFormat::Dot) {
        file.bytes = dotText(g);
        if (file.bytes.empty())
            file.error = "the graph could not be written as DOT text";
        return file;
    }
    GVC_t* gvc = graphvizContext();
    if (!gvc) {
        file.error = "Graphviz could not be started";
        return file;
    }
    if (gvLayout(gvc, g, "dot") != 0) {
        // Without its plugin configuration Graphviz knows no layouts.
        file.error = "Graphviz could not lay out the graph (are its plugins configured? "
                     "\"dot -c\" as root does it)";
    } else {
        char* data = nullptr;
        unsigned int size = 0;
        if (gvRenderData(gvc, g, format == GraphFormat::Svg ? "svg" : "png", &data, &size) == 0 &&
            data && size > 0)
            file.bytes.assign(data, size);
        else
            file.error = "Graphviz could not draw the graph";
        if (data)
            gvFreeRenderData(data);
        gvFreeLayout(gvc, g);
    }
    return file;
}

} // namespace tallix::graph
