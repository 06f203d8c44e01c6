#include "app/system_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "row_name.h"
#include "temp_dir.h"

namespace tallix::app {
namespace {

namespace fs = std::filesystem;

// Folders below a temporary folder: "dir" holds a folder named tool, "ro" a
// plain file that is not executable, "x" and "y" an executable each.
struct PathRow : testsupport::NamedRow {
    const char* searchPath; // ':' separated, '@' is the temporary folder
    const char* tool;
    const char* found; // relative to the temporary folder; "" for nothing
};

const PathRow pathRows[] = {
    {"first executable in order", "@/x:@/y", "tool", "x/tool"},
    {"a folder of that name is skipped", "@/dir:@/y", "tool", "y/tool"},
    {"a file that cannot run is skipped", "@/ro:@/x", "tool", "x/tool"},
    {"empty entries are not the current folder", ":::@/y:", "tool", "y/tool"},
    {"a name with a slash is not searched", "@", "x/tool", ""},
};

class FindOnPathTest : public testing::TestWithParam<PathRow> {};

TEST_P(FindOnPathTest, FindsTheFirstExecutablePlainFile) {
    const PathRow& row = GetParam();
    testsupport::TempDir dir;
    fs::create_directories(dir.dir() / "dir/tool");
    for (const char* name : {"ro/tool", "x/tool", "y/tool"}) {
        fs::create_directories(dir.dir() / fs::path(name).parent_path());
        dir.write(name, "#!/bin/sh\n");
        fs::permissions(dir.path(name),
                        *name == 'r' ? fs::perms::owner_read : fs::perms::owner_all);
    }
    std::string searchPath;
    for (const char c : std::string_view(row.searchPath))
        searchPath += c == '@' ? dir.dir().string() : std::string(1, c);
    const std::optional<std::string> expected =
        *row.found ? std::optional(dir.path(row.found)) : std::nullopt;
    EXPECT_EQ(findOnPath(row.tool, searchPath), expected) << searchPath;
}

INSTANTIATE_TEST_SUITE_P(Rows, FindOnPathTest, testing::ValuesIn(pathRows), testsupport::RowName());

// Which of the known tools is started: the installed tools and their paths.
struct ToolRow : testsupport::NamedRow {
    std::map<std::string, std::string> installed;
    std::optional<std::string> started;
};

const ToolRow toolRows[] = {
    {"the last of the list", {{"xfce4-taskmanager", "/x"}}, "/x"},
    {"an unknown tool is not taken", {{"top", "/t"}}, std::nullopt},
    {"an empty path cannot be started", {{"hardinfo", ""}, {"kinfocenter", "/k"}}, std::nullopt},
};

class SystemInfoToolTest : public testing::TestWithParam<ToolRow> {};

TEST_P(SystemInfoToolTest, StartsTheFirstKnownToolFound) {
    const ToolRow& row = GetParam();
    std::vector<std::string> asked;
    const FoundSystemInfoTool tool(systemInfoTools(), [&](const std::string& name) {
        asked.push_back(name);
        const auto found = row.installed.find(name);
        return found == row.installed.end() ? std::nullopt : std::optional(found->second);
    });
    EXPECT_EQ(tool.path(), row.started);
    // Looked up anew each time: a tool installed meanwhile is found.
    asked.clear();
    EXPECT_EQ(tool.path(), row.started);
    EXPECT_FALSE(asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, SystemInfoToolTest, testing::ValuesIn(toolRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix::app
