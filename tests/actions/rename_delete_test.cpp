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

// A name with a separator would leave the folder: refused, the file kept.
// (The window renames, and deletes or not, as the user answers.)
TEST(Rename, FileStaysInItsFolder) {
    TempDir dir;
    fs::create_directory(dir.dir() / "in");
    dir.write("in/pass.log", "pass");
    EXPECT_EQ(renameFile(dir.path("in"), "pass.log", "../pass.log"), 52);
    EXPECT_EQ(readBytes(dir.path("in/pass.log")), "pass");
    EXPECT_FALSE(fs::exists(dir.dir() / "pass.log"));
}

// A folder that has taken the file's name meanwhile stays.
TEST(Delete, RemovesNoFolder) {
    TempDir dir;
    fs::create_directory(dir.dir() / "sub");
    EXPECT_FALSE(deleteFile(dir.dir().string(), "sub"));
    EXPECT_TRUE(fs::is_directory(dir.dir() / "sub"));
}

} // namespace
} // namespace tallix::actions
