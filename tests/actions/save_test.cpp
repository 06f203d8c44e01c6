#include "actions/save.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>

#include "analysis/test_support.h"

namespace tallix::actions {
namespace {

namespace fs = std::filesystem;
using testsupport::readBytes;
using testsupport::TempDir;
using namespace std::string_literals;

// CR LF, a NUL and 8-bit bytes; longer than the full disk below allows.
const std::string Text = "Fm AB1CD To CQ\r\n\0\x80\xE9\xFF\r\n"s + std::string(100, 'x');

long entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

TEST(Save, ProposedPathAndName) {
    const std::tuple<const char*, const char*, bool, const char*, const char*> rows[] = {
        {"plain log is its own proposal", "/L/pass.log", false, "/L/pass.log", "pass.log"},
        {"rich text becomes txt", "/R/PASS.RTF", true, "/R/PASS.txt", "PASS.txt"},
        {"rtf only in a folder name", "/a.rtf/pass.log", true, "/a.rtf/pass.txt", "pass.txt"},
        {"no separator gives no name", "pass.log", false, "pass.log", ""},
    };
    for (const auto& [name, selected, richText, proposed, saveName] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(proposedSavePath(selected, richText), proposed);
        EXPECT_EQ(fileNamePart(proposed), saveName);
    }
}

TEST(Save, FileExistsFindsOrdinaryFilesOnly) {
    TempDir dir;
    ::chmod(dir.write("pass.log", "x").c_str(), 0444);
    fs::create_directory(dir.dir() / "sub.log");
    fs::create_symlink("pass.log", dir.dir() / "link.log");
    const std::tuple<const char*, std::string, bool> rows[] = {
        {"read-only file", dir.path("pass.log"), true},
        {"link to a file", dir.path("link.log"), true},
        {"folder", dir.path("sub.log"), false},
        {"star", dir.path("pa*.log"), true},
        {"question mark", dir.path("pas?.log"), true},
        {"question mark needs a character", dir.path("pass?.log"), false},
        {"pattern is case exact", dir.path("P*.log"), false},
        {"pattern matching only a folder", dir.path("sub.l?g"), false},
    };
    for (const auto& [name, path, found] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(FileExists(path), found);
    }
}

TEST(Save, WriteReplacesWholeThroughLinksKeepingPermissions) {
    TempDir dir;
    const std::string target = dir.write("pass.log", std::string(10000, 'o'));
    ::chmod(target.c_str(), 0640);
    fs::create_symlink("pass.log", dir.dir() / "link.log");
    fs::create_symlink("made.log", dir.dir() / "dangling.log");
    ASSERT_EQ(writeProcessedText(dir.path("link.log"), Text), 0);
    ASSERT_EQ(writeProcessedText(dir.path("dangling.log"), "new"), 0);
    EXPECT_EQ(readBytes(target), Text);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(readBytes(dir.path("made.log")), "new");
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "link.log") &&
                fs::is_symlink(dir.dir() / "dangling.log"));
    EXPECT_EQ(entries(dir.dir()), 4); // no temporary left
}

// A failing write leaves the file it would replace whole, and no temporary.
TEST(Save, FailingWriteLeavesTheOriginalWhole) {
    TempDir dir;
    dir.write("full.log", "original");
    ::chmod(dir.write("readonly.log", "original").c_str(), 0444);
    fs::create_directory(dir.dir() / "sub");
    fs::create_symlink("loop", dir.dir() / "loop");
    // Name, path, error number, and a file size limit: a full disk in the middle of the write.
    const std::tuple<const char*, std::string, int, rlim_t> rows[] = {
        {"missing folder", dir.path("nofolder/pass.log"), 76, 0},
        {"folder in the target's place", dir.path("sub"), 75, 0},
        {"link loop", dir.path("loop"), 75, 0},
        {"full device", "/dev/full", 61, 0},
        {"disk full mid-write", dir.path("full.log"), 61, 64},
        {"read-only target", dir.path("readonly.log"), 70, 0},
    };
    std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& [name, path, error, fileSizeLimit] : rows) {
        SCOPED_TRACE(name);
        if (error == 70 && ::geteuid() == 0)
            continue; // root writes files whatever their permission bits
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tight{fileSizeLimit ? fileSizeLimit : saved.rlim_cur, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &tight);
        EXPECT_EQ(writeProcessedText(path, Text), error);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(readBytes(dir.path("full.log")), "original");
        EXPECT_EQ(readBytes(dir.path("readonly.log")), "original");
        EXPECT_EQ(entries(dir.dir()), 4);
    }
}

} // namespace
} // namespace tallix::actions
