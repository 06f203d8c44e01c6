#pragma once
// Where the platform's system-information tool is. On Linux it is the first
// of the common desktops' tools found on the search path.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallix::app {

class SystemInfoTool {
public:
    virtual ~SystemInfoTool() = default;
    // The full path of the tool to start, or nothing when there is none.
    virtual std::optional<std::string> path() const = 0;
};

// The full path of an executable plain file named `name` in one of the folders
// of `searchPath` (folders separated by ':'), the first in order. Empty
// entries are skipped rather than read as the current folder, and a name with
// a '/' is not searched for.
std::optional<std::string> findOnPath(std::string_view name, std::string_view searchPath);

// Finds a program by name; gives its full path or nothing.
using ToolFinder = std::function<std::optional<std::string>(const std::string& name)>;

// System-information tools of the common Linux desktops, in the order tried.
const std::vector<std::string>& systemInfoTools();

// The first of `tools` that `finder` finds. An empty path counts as none,
// since it cannot be started.
class FoundSystemInfoTool : public SystemInfoTool {
public:
    FoundSystemInfoTool(std::vector<std::string> tools, ToolFinder finder);
    std::optional<std::string> path() const override;

private:
    std::vector<std::string> tools_;
    ToolFinder finder_;
};

// The first of `systemInfoTools()` on the PATH of the environment, looked up
// anew each time it is asked.
std::unique_ptr<SystemInfoTool> systemInfoTool();

} // namespace tallix::app
