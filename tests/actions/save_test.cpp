#include "actions/save.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <tuple>

#include "file_traps.h"
#include "temp_dir.h"

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

// The write under a file size limit (0: none): a disk that fills up mid-write.
int writeWithin(rlim_t fileSizeLimit, const std::string& path, const std::string& text) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit tight{fileSizeLimit ? fileSizeLimit : saved.rlim_cur, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &tight);
    const int error = writeProcessedText(path, text);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    return error;
}

TEST(Save, ProposedPathAndName) {
    const std::tuple<const char*, const char*, bool, const char*, const char*> rows[] = {
        {"rich text becomes txt", "/R/PASS.RTF", true, "/R/PASS.txt", "PASS.txt"},
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
    dir.write("pass.log", "x");
    fs::create_directory(dir.dir() / "sub.log");
    fs::create_symlink("pass.log", dir.dir() / "link.log");
    const std::tuple<const char*, std::string, bool> rows[] = {
        {"link to a file", dir.path("link.log"), true},
        {"folder", dir.path("sub.log"), false},
        {"star", dir.path("pa*.log"), true},
        {"question mark needs a character", dir.path("pass?.log"), false},
        {"pattern is case exact", dir.path("P*.log"), false},
    };
    for (const auto& [name, path, found] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(fileExists(path), found);
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
    // Name, path, error number, file size limit.
    const std::tuple<const char*, std::string, int, rlim_t> rows[] = {
        {"folder in the target's place", dir.path("sub"), 75, 0},
        {"disk full mid-write", dir.path("full.log"), 61, 64},
        {"read-only target", dir.path("readonly.log"), 70, 0},
    };
    for (const auto& [name, path, error, fileSizeLimit] : rows) {
        SCOPED_TRACE(name);
        if (error == 70 && ::geteuid() == 0)
            continue; // root writes files whatever their permission bits
        EXPECT_EQ(writeWithin(fileSizeLimit, path, Text), error);
        EXPECT_EQ(readBytes(dir.path("full.log")), "original");
        EXPECT_EQ(readBytes(dir.path("readonly.log")), "original");
        EXPECT_EQ(entries(dir.dir()), 3);
    }
}

// A writable file in a folder that takes no new file is rewritten in place;
// a write that fails there puts the original bytes back.
TEST(Save, WritableFileInAFolderWithoutNewFilesIsRewrittenInPlace) {
    TempDir dir;
    const std::string target = dir.write("pass.log", "original");
    struct stat before {};
    ::stat(target.c_str(), &before);
    testsupport::NoNewFiles locked(dir.dir());
    if (!locked.ready)
        GTEST_SKIP() << "cannot stop new files in " << dir.dir();
    ASSERT_EQ(writeProcessedText(target, Text), 0);
    EXPECT_EQ(readBytes(target), Text);
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_ino, before.st_ino); // the same file, not a new one

    EXPECT_EQ(writeWithin(Text.size() + 10, target, Text + Text), 61);
    EXPECT_EQ(readBytes(target), Text);
    EXPECT_EQ(entries(dir.dir()), 1);
}

} // namespace
} // namespace tallix::actions
