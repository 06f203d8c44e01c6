#include "actions/rename_delete.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "analysis/test_support.h"

namespace tallix::actions {
namespace {

namespace fs = std::filesystem;
using testsupport::readBytes;
using testsupport::RowName;
using testsupport::TempDir;

struct TargetRow {
    const char* name;
    const char* selected;
    std::string answer;
    std::optional<std::string> target;
};

void PrintTo(const TargetRow& row, std::ostream* os) {
    *os << row.name;
}

class RenameTargetTest : public testing::TestWithParam<TargetRow> {};

TEST_P(RenameTargetTest, KeepsTheExtension) {
    EXPECT_EQ(renameTarget(GetParam().selected, GetParam().answer), GetParam().target);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenameTargetTest,
    testing::Values(
        TargetRow{"extension appended", "pass.log", "pass2", "pass2.log"},
        TargetRow{"same extension kept once", "pass.log", "pass2.log", "pass2.log"},
        TargetRow{"other extension is part of the name", "pass.log", "pass2.txt", "pass2.txt.log"},
        TargetRow{"extension compared with case", "pass.log", "PASS2.LOG", "PASS2.LOG.log"},
        TargetRow{"blanks around trimmed", "pass.rtf", "  new  ", "new.rtf"},
        TargetRow{"blanks inside kept", "pass.log", "my pass", "my pass.log"},
        TargetRow{"tab is not a blank", "pass.log", "\tab", "\tab.log"},
        TargetRow{"three characters suffice", "pass.log", "abc", "abc.log"},
        TargetRow{"two characters do nothing", "pass.log", "ab", std::nullopt},
        TargetRow{"two characters within blanks", "pass.log", "   ab   ", std::nullopt},
        TargetRow{"cancel", "pass.log", "", std::nullopt},
        TargetRow{"short name is its own extension", "a.b", "abcd", "abcda.b"},
        TargetRow{"short name never ends a longer answer", "a.b", "xxa.b", "xxa.ba.b"},
        TargetRow{"short name as the whole answer", "a.b", "a.b", "a.b"},
        TargetRow{"name without extension keeps its last four", "README", "notes", "notesADME"}),
    RowName());

// A folder with pass.log, other.log and a subfolder sub.
struct RenameRow {
    const char* name;
    const char* oldName;
    std::string newName;
    int error;
    std::set<std::string> after; // the folder's names afterwards
};

void PrintTo(const RenameRow& row, std::ostream* os) {
    *os << row.name;
}

class RenameFileTest : public testing::TestWithParam<RenameRow> {};

TEST_P(RenameFileTest, WithinTheFolderOnly) {
    const RenameRow& row = GetParam();
    TempDir dir;
    dir.write("pass.log", "pass content");
    dir.write("other.log", "other content");
    fs::create_directory(dir.dir() / "sub");

    EXPECT_EQ(renameFile(dir.dir().string(), row.oldName, row.newName), row.error);

    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.dir()))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, row.after);
    EXPECT_TRUE(fs::is_empty(dir.dir() / "sub"));
    EXPECT_EQ(readBytes(dir.path("other.log")), "other content");
    const std::string moved = row.error == 0 ? row.newName : std::string("pass.log");
    EXPECT_EQ(readBytes(dir.path(moved)), "pass content");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenameFileTest,
    testing::Values(
        RenameRow{"new name", "pass.log", "pass2.log", 0, {"pass2.log", "other.log", "sub"}},
        RenameRow{"name with blanks and capitals",
                  "pass.log",
                  "My PASS.log",
                  0,
                  {"My PASS.log", "other.log", "sub"}},
        RenameRow{
            "onto another file", "pass.log", "other.log", 58, {"pass.log", "other.log", "sub"}},
        RenameRow{
            "onto its own name", "pass.log", "pass.log", 58, {"pass.log", "other.log", "sub"}},
        RenameRow{"onto a folder", "pass.log", "sub", 58, {"pass.log", "other.log", "sub"}},
        RenameRow{
            "into a subfolder", "pass.log", "sub/pass.log", 52, {"pass.log", "other.log", "sub"}},
        RenameRow{"up a folder", "pass.log", "../pass.log", 52, {"pass.log", "other.log", "sub"}},
        RenameRow{"nul in the name",
                  "pass.log",
                  std::string("pa\0ss.log", 9),
                  52,
                  {"pass.log", "other.log", "sub"}},
        RenameRow{
            "selected file gone", "gone.log", "new.log", 53, {"pass.log", "other.log", "sub"}}),
    RowName());

TEST(DeleteFile, RemovesOnlyTheFile) {
    TempDir dir;
    dir.write("pass.log", "x");
    dir.write("other.log", "y");
    fs::create_directory(dir.dir() / "sub");
    EXPECT_TRUE(deleteFile(dir.dir().string(), "pass.log"));
    EXPECT_FALSE(fs::exists(dir.dir() / "pass.log"));
    EXPECT_TRUE(fs::exists(dir.dir() / "other.log"));
    EXPECT_FALSE(deleteFile(dir.dir().string(), "pass.log")); // already gone
    EXPECT_FALSE(deleteFile(dir.dir().string(), "sub"));      // a folder stays
    EXPECT_TRUE(fs::is_directory(dir.dir() / "sub"));
}

} // namespace
} // namespace tallix::actions
