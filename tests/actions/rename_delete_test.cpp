#include "actions/rename_delete.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "temp_dir.h"

namespace tallix::actions {
namespace {

namespace fs = std::filesystem;
using testsupport::readBytes;
using testsupport::TempDir;

TEST(Rename, TargetKeepsTheExtension) {
    const std::tuple<const char*, const char*, const char*, std::optional<std::string>> rows[] = {
        {"same extension kept once", "pass.log", "pass2.log", "pass2.log"},
        {"other extension is part of the name", "pass.log", "pass2.txt", "pass2.txt.log"},
        {"extension compared with case", "pass.log", "PASS2.LOG", "PASS2.LOG.log"},
        {"blanks around trimmed", "pass.rtf", "  new  ", "new.rtf"},
        {"three characters suffice", "pass.log", "abc", "abc.log"},
        {"two characters within blanks do nothing", "pass.log", " ab ", std::nullopt},
        {"short name is its own extension", "a.b", "abcd", "abcda.b"},
    };
    for (const auto& [name, selected, answer, target] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(renameTarget(selected, answer), target);
    }
}

// Within the folder only, and never over another file.
TEST(Rename, FileStaysInItsFolder) {
    const std::tuple<const char*, const char*, int> rows[] = {
        {"new name", "My PASS.log", 0},
        {"separator refused", "../pass.log", 52},
    };
    for (const auto& [name, newName, error] : rows) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string folder = dir.path("in");
        fs::create_directory(folder);
        dir.write("in/pass.log", "pass");
        dir.write("in/other.log", "other");
        EXPECT_EQ(renameFile(folder, "pass.log", newName), error);
        EXPECT_EQ(readBytes(folder + "/" + (error ? "pass.log" : newName)), "pass");
        EXPECT_EQ(readBytes(folder + "/other.log"), "other");
    }
}

TEST(Delete, RemovesOnlyTheFile) {
    TempDir dir;
    dir.write("pass.log", "x");
    fs::create_directory(dir.dir() / "sub");
    EXPECT_TRUE(deleteFile(dir.dir().string(), "pass.log"));
    EXPECT_FALSE(fs::exists(dir.dir() / "pass.log"));
    EXPECT_FALSE(deleteFile(dir.dir().string(), "pass.log")); // already gone
    EXPECT_FALSE(deleteFile(dir.dir().string(), "sub"));      // a folder stays
    EXPECT_TRUE(fs::is_directory(dir.dir() / "sub"));
}

} // namespace
} // namespace tallix::actions
