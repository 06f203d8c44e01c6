#include "chart_file.h"

#include "report_module.h"
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

#ifdef TALLIX_REPORT_CHART_MODULE

namespace {

void collect(void* context, const char* bytes, std::size_t size) {
    static_cast<std::string*>(context)->append(bytes, size);
}

} // namespace

ChartPicture chartPicture(const analysis::ActivitySeries& series, ChartFormat format) {
    ChartPicture picture;
    const LoadedModule module = loadReportModule(ChartModuleName, ChartEntryName);
    if (!module.entry) {
        picture.error = module.error;
        return picture;
    }
    const auto entry = reinterpret_cast<ChartEntry>(module.entry);
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
