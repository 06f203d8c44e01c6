#include "app/system_info.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tallix::app {

std::optional<std::string> findOnPath(std::string_view name, std::string_view searchPath) {
    namespace fs = std::filesystem;
    if (name.empty() || name.find('/') != std::string_view::npos)
        return std::nullopt;
    constexpr fs::perms anyExec =
        fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos)
            end = searchPath.size();
        const std::string_view folder = searchPath.substr(start, end - start);
        if (!folder.empty()) {
            const fs::path candidate = fs::path(std::string(folder)) / std::string(name);
            std::error_code ec;
            const fs::file_status status = fs::status(candidate, ec);
            if (!ec && fs::is_regular_file(status) &&
                (status.permissions() & anyExec) != fs::perms::none)
                return candidate.string();
        }
        start = end + 1;
    }
    return std::nullopt;
}

const std::vector<std::string>& systemInfoTools() {
    static const std::vector<std::string> tools = {"hardinfo", "gnome-system-monitor",
                                                   "kinfocenter", "mate-system-monitor",
                                                   "xfce4-taskmanager"};
    return tools;
}

FoundSystemInfoTool::FoundSystemInfoTool(std::vector<std::string> tools, ToolFinder finder)
    : tools_(std::move(tools)), finder_(std::move(finder)) {}

std::optional<std::string> FoundSystemInfoTool::path() const {
    for (const std::string& tool : tools_) {
        std::optional<std::string> found = finder_(tool);
        if (found)
            return found->empty() ? std::nullopt : found;
    }
    return std::nullopt;
}

std::unique_ptr<SystemInfoTool> systemInfoTool() {
    return std::make_unique<FoundSystemInfoTool>(systemInfoTools(), [](const std::string& name) {
        const char* path = std::getenv("PATH");
        return findOnPath(name, path ? path : "");
    });
}

} // namespace tallix::app
