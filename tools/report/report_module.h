#pragma once
// tallix-report's modules: parts loaded only when an option asks for them, so
// that a run without them starts without their libraries (Qt for the chart,
// Graphviz for the graph).

#include <string>

namespace tallix::report {

struct LoadedModule {
    void* entry = nullptr; // the module's entry point
    std::string error;     // why there is none, in UTF-8
};

// The module `name` beside the program (a build folder), else where an
// install puts it relative to the program's folder; its function `entryName`.
// A loaded module stays loaded.
LoadedModule loadReportModule(const char* name, const char* entryName);

} // namespace tallix::report
