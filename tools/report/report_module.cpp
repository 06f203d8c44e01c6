#include "report_module.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace tallix::report {

#ifdef TALLIX_MODULE_DIR

namespace {

std::vector<std::filesystem::path> modulePlaces(const char* name) {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path folder = program.parent_path();
    return {folder / name, (folder / TALLIX_MODULE_DIR / name).lexically_normal()};
}

} // namespace

LoadedModule loadReportModule(const char* name, const char* entryName) {
    LoadedModule loaded;
    void* module = nullptr;
    for (const std::filesystem::path& place : modulePlaces(name)) {
        std::error_code ec;
        if (!std::filesystem::exists(place, ec))
            continue;
        module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* why = ::dlerror();
            loaded.error = why ? why : std::string("the module ") + name + " could not be loaded";
            return loaded;
        }
        break;
    }
    if (!module) {
        loaded.error = std::string("the module ") + name + " was not found";
        return loaded;
    }
    // Left loaded: its libraries' threads and exit handlers may still run in it.
    loaded.entry = ::dlsym(module, entryName);
    if (!loaded.entry)
        loaded.error = std::string(name) + " has no " + entryName;
    return loaded;
}

#else

LoadedModule loadReportModule(const char* name, const char*) {
    return {nullptr, std::string("this tallix-report was built without its module ") + name};
}

#endif

} // namespace tallix::report
