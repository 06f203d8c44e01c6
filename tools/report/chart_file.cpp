#include "chart_file.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "text/basic_text.h"

namespace tallix::report {

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

#ifdef TALLIX_CHART_MODULE_DIR

namespace {

// The module beside the program (a build folder), else where an install puts
// it relative to the program's folder.
std::vector<std::filesystem::path> modulePlaces() {
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    const std::filesystem::path folder = program.parent_path();
    return {folder / ChartModuleName,
            (folder / TALLIX_CHART_MODULE_DIR / ChartModuleName).lexically_normal()};
}

void collect(void* context, const char* bytes, std::size_t size) {
    static_cast<std::string*>(context)->append(bytes, size);
}

} // namespace

ChartPicture chartPicture(const analysis::ActivitySeries& series, ChartFormat format) {
    ChartPicture picture;
    void* module = nullptr;
    for (const std::filesystem::path& place : modulePlaces()) {
        std::error_code ec;
        if (!std::filesystem::exists(place, ec))
            continue;
        module = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            const char* why = ::dlerror();
            picture.error = why ? why : "the chart module could not be loaded";
            return picture;
        }
        break;
    }
    if (!module) {
        picture.error = std::string("the chart module ") + ChartModuleName + " was not found";
        return picture;
    }
    // Left loaded: Qt's threads and exit handlers may still run in it.
    const auto entry = reinterpret_cast<ChartEntry>(::dlsym(module, ChartEntryName));
    if (!entry) {
        picture.error = std::string(ChartModuleName) + " has no " + ChartEntryName;
        return picture;
    }
    if (entry(series.firstMinute, series.minutes.data(), series.minutes.size(),
              format == ChartFormat::Png ? 1 : 0, collect, &picture.bytes) != 0) {
        picture.bytes.clear();
        picture.error = "the chart could not be painted";
    }
    return picture;
}

#else

ChartPicture chartPicture(const analysis::ActivitySeries&, ChartFormat) {
    return {{}, "this tallix-report was built without Qt and writes no charts"};
}

#endif

} // namespace tallix::report
