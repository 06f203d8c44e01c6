// The path graph: its DOT text read back by Graphviz's own parser (the window's
// tests save the drawings).

#include "graph/path_graph.h"

#include <graphviz/cgraph.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
// Graphviz's text layout keeps fontconfig's caches until the process ends:
// not a leak of this program's.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

namespace tallix::graph {
namespace {

using analysis::PathRecord;

struct GraphClose {
    void operator()(Agraph_t* g) const { agclose(g); }
};

// Each edge as "from -> to label", each node's attributes that mark it.
struct ReadBack {
    std::map<std::string, std::string> nodes; // name: shape, and "own" when marked
    std::map<std::string, std::string> edges; // "from -> to": label
};

ReadBack readBack(const std::string& dot) {
    std::unique_ptr<Agraph_t, GraphClose> g(agmemread(dot.c_str()));
    ReadBack out;
    if (!g)
        return out;
    for (Agnode_t* n = agfstnode(g.get()); n; n = agnxtnode(g.get(), n)) {
        const std::string peripheries = agget(n, const_cast<char*>("peripheries"));
        out.nodes[agnameof(n)] =
            std::string(agget(n, const_cast<char*>("shape"))) + (peripheries == "2" ? " own" : "");
        for (Agedge_t* e = agfstout(g.get(), n); e; e = agnxtout(g.get(), e))
            out.edges[std::string(agnameof(agtail(e))) + " -> " + agnameof(aghead(e))] =
                agget(e, const_cast<char*>("label"));
    }
    return out;
}

TEST(PathGraph, DotTextIsReadBackByGraphvizWithEveryHopAndItsFrames) {
    // Calls a DOT text must quote: a keyword, an arrow, a quote, a backslash,
    // a control byte, an 8-bit letter.
    const std::vector<PathRecord> paths = {
        {"AB1CD", "D1*,D2", 3},  {"AB1CD", "", 1},      {"graph", "D1*", 2},
        {"A->B", "D\"Q*,D2", 1}, {"X\\Y", "D1,D2*", 4}, {"F\xE9LIX\x1b", "D2*", 5},
    };
    const GraphFile file = pathGraph(paths, "AB1CD", GraphFormat::Dot);
    ASSERT_EQ(file.error, "");
    const ReadBack back = readBack(file.bytes);
    const std::map<std::string, std::string> nodes = {{"AB1CD", "ellipse own"},
                                                      {"D1", "box"},
                                                      {"D2", "box"},
                                                      {"graph", "ellipse"},
                                                      {"A->B", "ellipse"},
                                                      {"D\"Q", "box"},
                                                      {"X\\Y", "ellipse"},
                                                      {"F\xC3\xA9LIX\\x1b", "ellipse"}};
    EXPECT_EQ(back.nodes, nodes);
    const std::map<std::string, std::string> edges = {{"AB1CD -> D1", "3"},
                                                      {"D1 -> D2", "7"},
                                                      {"graph -> D1", "2"},
                                                      {"A->B -> D\"Q", "1"},
                                                      {"D\"Q -> D2", "1"},
                                                      {"X\\Y -> D1", "4"},
                                                      {"F\xC3\xA9LIX\\x1b -> D2", "5"}};
    EXPECT_EQ(back.edges, edges);
}

} // namespace
} // namespace tallix::graph
