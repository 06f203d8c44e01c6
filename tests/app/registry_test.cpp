#include "app/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/help_about.h"
#include "row_name.h"
#include "temp_dir.h"

namespace tallix::app {
namespace {

using namespace std::string_literals;
using Value = std::pair<std::uint32_t, std::string>; // type, stored bytes

const std::string PathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string InFolder = "D:\\Tools\\MSINFO32.EXE";
const std::string Kb(1024, 'x'); // as much as the read buffer holds

// A registry held in maps below HKEY_LOCAL_MACHINE. Keys open only with the
// program's access mask; it counts the keys opened and those still open.
class FakeRegistry : public Registry {
public:
    std::map<std::string, std::map<std::string, Value>> keys;
    std::vector<std::string> opened;
    int stillOpen = 0;

    std::optional<RegistryKey> openKey(RegistryKey root, const std::string& name,
                                       std::uint32_t access) override {
        opened.push_back(name);
        if (root != HKeyLocalMachine || access != 0x2003Fu || !keys.count(name))
            return std::nullopt;
        return ++stillOpen, opened.size() - 1;
    }
    ValueQuery queryValue(RegistryKey key, const std::string& name, std::span<char> buf) override {
        const auto& values = keys.at(opened.at(key));
        const auto v = values.find(name);
        if (v == values.end() || v->second.second.size() > buf.size())
            return {};
        v->second.second.copy(buf.data(), buf.size());
        return {true, v->second.first, v->second.second.size()};
    }
    void closeKey(RegistryKey) override { --stillOpen; }
};

// The tool's registered path as GetKeyValue reads it, and the tool the About
// window then starts; D:\Tools is the registered folder.
struct Row {
    const char* name;
    std::optional<Value> path; // nothing: no such key
    bool read;
    std::string text;                // the caller passes "kept"
    std::optional<std::string> tool; // D:\Tools\MSINFO32.EXE exists only where it is expected
};

void PrintTo(const Row& row, std::ostream* os) {
    testsupport::printRowName(row.name, os);
}

const Row rows[] = {
    {"string loses its trailing NUL", Value{1, "C:\\X\0"s}, true, "C:\\X", "C:\\X"},
    {"string without a NUL keeps every byte", Value{1, "C:\\ab"}, true, "C:\\ab", "C:\\ab"},
    {"only one trailing NUL is dropped", Value{1, "a\0\0"s}, true, "a\0"s, "a\0"s},
    {"double word, top bit set", Value{4, "\x01\x02\0\x80"s}, true, "2147484161", "2147484161"},
    {"other type keeps the caller's text", Value{3, "\x01"}, true, "kept", std::nullopt},
    {"no bytes at all fails", Value{1, ""}, false, "", InFolder},
    {"value filling the buffer", Value{1, Kb}, true, Kb, Kb},
    {"value larger than the buffer fails", Value{1, Kb + "x"}, false, "", InFolder},
    {"missing key fails", std::nullopt, false, "", InFolder},
    {"folder without the program", std::nullopt, false, "", std::nullopt},
};

class RegistryTest : public testing::TestWithParam<Row> {};

TEST_P(RegistryTest, ReadsThePathAndFindsTheTool) {
    const Row& row = GetParam();
    FakeRegistry registry;
    if (row.path)
        registry.keys[PathKey]["PATH"] = *row.path;
    registry.keys["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {1, "D:\\Tools\0"s};
    std::string keyVal = "kept";
    EXPECT_EQ(GetKeyValue(registry, HKeyLocalMachine, PathKey, "PATH", keyVal), row.read);
    EXPECT_EQ(keyVal, row.text);

    const auto exists = [&](const std::string& p) { return p == InFolder && row.tool; };
    const std::size_t before = registry.opened.size();
    EXPECT_EQ(sysInfoToolPath(registry, exists), row.tool);
    EXPECT_EQ(registry.opened.size() - before, row.read ? 1u : 2u)
        << "the folder only without a path";
    EXPECT_EQ(registry.stillOpen, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryTest, testing::ValuesIn(rows), testsupport::RowName());

// Found on PATH: the first executable plain file, and only if it fits the
// buffer with its NUL. a/tool is a folder, b/tool not executable.
TEST(PathToolRegistry, FirstExecutableThatFitsTheBuffer) {
    namespace fs = std::filesystem;
    testsupport::TempDir dir;
    fs::create_directories(dir.dir() / "a/tool");
    for (const char* name : {"b/tool", "c/tool", "d/tool"}) {
        fs::create_directories(dir.dir() / fs::path(name).parent_path());
        dir.write(name, "#!/bin/sh\n");
        fs::permissions(dir.path(name),
                        *name == 'b' ? fs::perms::owner_read : fs::perms::owner_all);
    }
    const std::string a = dir.path("a"), b = dir.path("b"), c = dir.path("c"), d = dir.path("d");
    EXPECT_EQ(findOnPath("tool", a + ":" + b + "::" + c + ":" + d), dir.path("c/tool"));
    EXPECT_EQ(findOnPath("tool", a + ":" + b), std::nullopt);
    EXPECT_EQ(findOnPath("c/tool", dir.dir().string()), std::nullopt);

    std::string path = "/" + std::string(1022, 'p');
    PathToolRegistry registry({"none", "t"}, [&](const std::string& name) {
        return name == "t" ? std::optional(path) : std::nullopt;
    });
    EXPECT_EQ(sysInfoToolPath(registry), path);
    path += "p";
    EXPECT_EQ(sysInfoToolPath(registry), std::nullopt);
}

} // namespace
} // namespace tallix::app
