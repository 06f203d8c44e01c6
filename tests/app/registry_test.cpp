#include "app/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/test_support.h"
#include "app/help_about.h"

namespace tallix::app {
namespace {

using namespace std::string_literals;

struct StoredValue {
    std::uint32_t type;
    std::string bytes;
};

// A registry held in maps: keys below HKEY_LOCAL_MACHINE by name, their values
// by name. Records every key opened and closed.
class FakeRegistry : public Registry {
public:
    std::map<std::string, std::map<std::string, StoredValue>> keys;
    std::set<std::string> refusing; // keys that exist but refuse the access asked for
    std::vector<std::string> opened;
    std::vector<std::uint32_t> accessMasks;
    std::vector<RegistryKey> closed;

    std::optional<RegistryKey> openKey(RegistryKey root, const std::string& keyName,
                                       std::uint32_t access) override {
        opened.push_back(keyName);
        accessMasks.push_back(access);
        if (root != HKeyLocalMachine || !keys.count(keyName) || refusing.count(keyName))
            return std::nullopt;
        handles_.push_back(keyName);
        return static_cast<RegistryKey>(100 + handles_.size() - 1);
    }
    ValueQuery queryValue(RegistryKey key, const std::string& valueName,
                          std::span<char> buffer) override {
        const auto& values = keys.at(handles_.at(key - 100));
        const auto found = values.find(valueName);
        if (found == values.end() || found->second.bytes.size() > buffer.size())
            return {};
        found->second.bytes.copy(buffer.data(), found->second.bytes.size());
        return {true, found->second.type, found->second.bytes.size()};
    }
    void closeKey(RegistryKey key) override { closed.push_back(key); }

    // Every key that was opened is closed exactly once.
    bool balanced() const {
        std::multiset<RegistryKey> c(closed.begin(), closed.end());
        for (std::size_t i = 0; i < handles_.size(); ++i)
            if (c.count(static_cast<RegistryKey>(100 + i)) != 1)
                return false;
        return c.size() == handles_.size();
    }

private:
    std::vector<std::string> handles_;
};

const std::string Key = "SOFTWARE\\Example";

// --- GetKeyValue: the trailing NUL and the value types -------------------------

struct ReadRow {
    const char* name;
    bool keyExists;
    std::optional<StoredValue> value;
    std::string keyValIn;
    bool result;
    std::string keyValOut;
};

const ReadRow readRows[] = {
    {"string with a trailing NUL", true, StoredValue{1, "C:\\T\\msinfo32.exe\0"s}, "", true,
     "C:\\T\\msinfo32.exe"},
    {"string without a trailing NUL keeps every byte", true, StoredValue{1, "abc"}, "", true,
     "abc"},
    {"only one trailing NUL is dropped", true, StoredValue{1, "ab\0\0"s}, "", true, "ab\0"s},
    {"a NUL inside stays", true, StoredValue{1, "a\0b"s}, "", true, "a\0b"s},
    {"a lone NUL gives the empty text", true, StoredValue{1, "\0"s}, "stale", true, ""},
    {"string replaces what the caller passed", true, StoredValue{1, "new\0"s}, "old", true, "new"},
    {"no bytes at all fails", true, StoredValue{1, ""}, "stale", false, ""},
    {"double word", true, StoredValue{4, "\x01\x02\0\0"s}, "", true, "513"},
    {"double word zero", true, StoredValue{4, "\0\0\0\0"s}, "", true, "0"},
    {"double word with its top byte set", true, StoredValue{4, "\xff\xff\xff\xff"}, "", true,
     "4294967295"},
    {"double word with a NUL inside", true, StoredValue{4, "\0\x01\0\0"s}, "", true, "256"},
    {"binary keeps the caller's text", true, StoredValue{3, "\x01\x02"}, "kept", true, "kept"},
    {"expandable string keeps the caller's text", true, StoredValue{2, "%TEMP%\0"s}, "kept", true,
     "kept"},
    {"value filling the buffer exactly", true, StoredValue{1, std::string(1024, 'x')}, "", true,
     std::string(1024, 'x')},
    {"value one byte larger than the buffer", true, StoredValue{1, std::string(1025, 'x')}, "stale",
     false, ""},
    {"missing value", true, std::nullopt, "stale", false, ""},
    {"missing key", false, std::nullopt, "stale", false, ""},
};

class GetKeyValueTest : public testing::TestWithParam<ReadRow> {};

TEST_P(GetKeyValueTest, ReadsTheValueAsText) {
    const ReadRow& row = GetParam();
    FakeRegistry registry;
    if (row.keyExists) {
        registry.keys[Key];
        if (row.value)
            registry.keys[Key]["Value"] = *row.value;
    }
    std::string keyVal = row.keyValIn;
    EXPECT_EQ(GetKeyValue(registry, HKeyLocalMachine, Key, "Value", keyVal), row.result);
    EXPECT_EQ(keyVal, row.keyValOut);
    EXPECT_TRUE(registry.balanced());
    ASSERT_EQ(registry.accessMasks.size(), 1u);
    EXPECT_EQ(registry.accessMasks[0], 0x2003Fu);
}

INSTANTIATE_TEST_SUITE_P(Rows, GetKeyValueTest, testing::ValuesIn(readRows),
                         testsupport::RowName());

TEST(GetKeyValue, RefusedAccessFailsLikeAMissingKey) {
    FakeRegistry registry;
    registry.keys[Key]["Value"] = {1, "x\0"s};
    registry.refusing.insert(Key);
    std::string keyVal = "stale";
    EXPECT_FALSE(GetKeyValue(registry, HKeyLocalMachine, Key, "Value", keyVal));
    EXPECT_EQ(keyVal, "");
    EXPECT_TRUE(registry.closed.empty());
}

// --- Where the system-information tool is ------------------------------------

struct ToolRow {
    const char* name;
    std::optional<StoredValue> pathValue;   // the full path of the tool
    std::optional<StoredValue> folderValue; // the folder that holds MSINFO32.EXE
    std::set<std::string> plainFiles;
    std::optional<std::string> path;
    std::vector<std::string> keysOpened;
};

const std::string PathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string FolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const StoredValue ToolPath{1, "C:\\Program Files\\MSINFO\\MSINFO32.EXE\0"s};
const StoredValue ToolFolder{1, "D:\\Tools\0"s};

const ToolRow toolRows[] = {
    {"registered path, folder not read",
     ToolPath,
     ToolFolder,
     {"D:\\Tools\\MSINFO32.EXE"},
     "C:\\Program Files\\MSINFO\\MSINFO32.EXE",
     {PathKey}},
    {"registered path is not checked for a file",
     ToolPath,
     std::nullopt,
     {},
     "C:\\Program Files\\MSINFO\\MSINFO32.EXE",
     {PathKey}},
    {"folder with the program in it",
     std::nullopt,
     ToolFolder,
     {"D:\\Tools\\MSINFO32.EXE"},
     "D:\\Tools\\MSINFO32.EXE",
     {PathKey, FolderKey}},
    {"folder without the program",
     std::nullopt,
     ToolFolder,
     {"D:\\Tools\\msinfo.exe"},
     std::nullopt,
     {PathKey, FolderKey}},
    {"neither key", std::nullopt, std::nullopt, {}, std::nullopt, {PathKey, FolderKey}},
    {"path of another type ends the search",
     StoredValue{3, "\x01\x02"},
     ToolFolder,
     {"D:\\Tools\\MSINFO32.EXE"},
     std::nullopt,
     {PathKey}},
    {"empty path ends the search",
     StoredValue{1, "\0"s},
     ToolFolder,
     {"D:\\Tools\\MSINFO32.EXE"},
     std::nullopt,
     {PathKey}},
    {"path without any bytes falls back to the folder",
     StoredValue{1, ""},
     ToolFolder,
     {"D:\\Tools\\MSINFO32.EXE"},
     "D:\\Tools\\MSINFO32.EXE",
     {PathKey, FolderKey}},
};

class SysInfoToolTest : public testing::TestWithParam<ToolRow> {};

TEST_P(SysInfoToolTest, FindsTheTool) {
    const ToolRow& row = GetParam();
    FakeRegistry registry;
    if (row.pathValue)
        registry.keys[PathKey]["PATH"] = *row.pathValue;
    if (row.folderValue)
        registry.keys[FolderKey]["MSINFO"] = *row.folderValue;
    const auto exists = [&](const std::string& p) { return row.plainFiles.count(p) > 0; };
    EXPECT_EQ(sysInfoToolPath(registry, exists), row.path);
    EXPECT_EQ(registry.opened, row.keysOpened);
    EXPECT_TRUE(registry.balanced());
}

INSTANTIATE_TEST_SUITE_P(Rows, SysInfoToolTest, testing::ValuesIn(toolRows),
                         testsupport::RowName());

TEST(SysInfoTool, UnavailableMessage) {
    const MessageBox box = sysInfoUnavailableMessage();
    EXPECT_EQ(box.text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(box.title, "Tallix");
    EXPECT_EQ(box.buttons, Buttons::Ok);
    EXPECT_EQ(box.icon, Icon::None);
}

// --- The registry of a system without one: the first tool found -------------

struct PathToolRow {
    const char* name;
    std::vector<std::string> tools;
    std::map<std::string, std::string> installed; // tool -> its full path
    std::optional<std::string> path;
};

const PathToolRow pathToolRows[] = {
    {"first in the list order, not in install order",
     {"hardinfo", "gnome-system-monitor", "kinfocenter"},
     {{"kinfocenter", "/usr/bin/kinfocenter"}, {"gnome-system-monitor", "/opt/g/gsm"}},
     "/opt/g/gsm"},
    {"only the last one", {"a", "b", "c"}, {{"c", "/bin/c"}}, "/bin/c"},
    {"none installed", {"a", "b"}, {}, std::nullopt},
    {"empty list", {}, {{"a", "/bin/a"}}, std::nullopt},
    {"path that fills the buffer with its NUL",
     {"a"},
     {{"a", "/" + std::string(1022, 'p')}},
     "/" + std::string(1022, 'p')},
    {"path too long for the buffer", {"a"}, {{"a", "/" + std::string(1023, 'p')}}, std::nullopt},
};

class PathToolRegistryTest : public testing::TestWithParam<PathToolRow> {};

TEST_P(PathToolRegistryTest, AnswersTheToolPath) {
    const PathToolRow& row = GetParam();
    PathToolRegistry registry(row.tools,
                              [&](const std::string& name) -> std::optional<std::string> {
                                  const auto found = row.installed.find(name);
                                  if (found == row.installed.end())
                                      return std::nullopt;
                                  return found->second;
                              });
    // Nothing answers the folder key, so a tool not found is no tool at all.
    EXPECT_EQ(sysInfoToolPath(registry, [](const std::string&) { return true; }), row.path);
}

INSTANTIATE_TEST_SUITE_P(Rows, PathToolRegistryTest, testing::ValuesIn(pathToolRows),
                         testsupport::RowName());

TEST(PathToolRegistry, AnswersOnlyTheToolKey) {
    PathToolRegistry registry({"a"}, [](const std::string&) { return "/bin/a"s; });
    std::string value;
    EXPECT_TRUE(GetKeyValue(registry, HKeyLocalMachine, PathKey, "PATH", value));
    EXPECT_EQ(value, "/bin/a");
    EXPECT_FALSE(GetKeyValue(registry, HKeyLocalMachine, PathKey, "Path", value));
    EXPECT_FALSE(GetKeyValue(registry, HKeyLocalMachine, FolderKey, "MSINFO", value));
    EXPECT_FALSE(GetKeyValue(registry, HKeyLocalMachine, PathKey + "\\", "PATH", value));
    EXPECT_FALSE(GetKeyValue(registry, 0x80000001u, PathKey, "PATH", value));
}

// --- Finding a program on the search path -----------------------------------

class FindOnPath : public testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        for (const char* d : {"a", "b", "c"})
            fs::create_directory(dir.dir() / d);
        program("a/tool", false);
        program("b/tool", true);
        program("a/other", true);
        program("c/other", true);
        fs::create_directory(dir.dir() / "a/folder");
        fs::permissions(dir.dir() / "a/folder", fs::perms::all);
        program("b/folder", true);
    }
    void program(const std::string& name, bool executable) {
        namespace fs = std::filesystem;
        dir.write(name, "#!/bin/sh\n");
        fs::permissions(dir.dir() / name, executable
                                              ? fs::perms::owner_all | fs::perms::group_read
                                              : fs::perms::owner_read | fs::perms::owner_write);
    }
    std::string folders(std::initializer_list<const char*> names, const char* sep = ":") {
        std::string out;
        for (const char* n : names) {
            if (!out.empty())
                out += sep;
            out += *n ? dir.path(n) : "";
        }
        return out;
    }
    testsupport::TempDir dir;
};

TEST_F(FindOnPath, FirstExecutablePlainFileInPathOrder) {
    EXPECT_EQ(findOnPath("tool", folders({"a", "b"})), dir.path("b/tool"))
        << "a file without execute permission is no program";
    EXPECT_EQ(findOnPath("other", folders({"a", "c"})), dir.path("a/other"));
    EXPECT_EQ(findOnPath("other", folders({"c", "a"})), dir.path("c/other"));
    EXPECT_EQ(findOnPath("folder", folders({"a", "b"})), dir.path("b/folder"))
        << "a folder of that name is no program";
    EXPECT_EQ(findOnPath("tool", folders({"", "a", "", "b", ""})), dir.path("b/tool"));
    EXPECT_EQ(findOnPath("tool", folders({"a", "missing", "b"})), dir.path("b/tool"));
}

TEST_F(FindOnPath, NothingFound) {
    EXPECT_EQ(findOnPath("tool", folders({"a", "c"})), std::nullopt);
    EXPECT_EQ(findOnPath("tool", ""), std::nullopt);
    EXPECT_EQ(findOnPath("", folders({"a", "b"})), std::nullopt);
    EXPECT_EQ(findOnPath("b/tool", dir.dir().string()), std::nullopt)
        << "a name with a folder in it is not searched for";
}

} // namespace
} // namespace tallix::app
