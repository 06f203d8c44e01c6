#include "actions/save.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "analysis/test_support.h"

namespace tallix::actions {
namespace {

namespace fs = std::filesystem;
using testsupport::readBytes;
using testsupport::RowName;
using testsupport::TempDir;

// Every byte value, CR LF line ends, no final break: what a processed text can
// hold.
std::string allBytes() {
    std::string s = "Fm AB1CD To CQ >[10:00:00]\r\n";
    for (int b = 0; b < 256; ++b)
        s.push_back(static_cast<char>(b));
    s += "\r\n\r\nlast line \x80\xE9\xFF";
    return s;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct ProposalRow {
    const char* name;
    const char* selected;
    bool richText;
    const char* proposed;
    const char* saveName;
};

void PrintTo(const ProposalRow& row, std::ostream* os) {
    *os << row.name;
}

class ProposalTest : public testing::TestWithParam<ProposalRow> {};

TEST_P(ProposalTest, ProposedPathAndName) {
    const ProposalRow& row = GetParam();
    SaveState state;
    state.savePath = proposedSavePath(row.selected, row.richText);
    state.SplitFilePath();
    EXPECT_EQ(state.savePath, row.proposed);
    EXPECT_EQ(state.saveName, row.saveName);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProposalTest,
    testing::Values(
        ProposalRow{"plain log is its own proposal", "/kest/Logs/pass.log", false,
                    "/kest/Logs/pass.log", "pass.log"},
        ProposalRow{"rich text becomes txt", "/kest/Reports/pass.rtf", true,
                    "/kest/Reports/pass.txt", "pass.txt"},
        ProposalRow{"rich text in capitals", "/kest/Reports/PASS.RTF", true,
                    "/kest/Reports/PASS.txt", "PASS.txt"},
        ProposalRow{"rtf only in a folder name drops the name's end", "/kest/old.rtf/pass.log",
                    true, "/kest/old.rtf/pass.txt", "pass.txt"},
        ProposalRow{"file at the root", "/pass.log", false, "/pass.log", "pass.log"},
        ProposalRow{"no separator gives no name", "pass.log", false, "pass.log", ""},
        ProposalRow{"backslash is no separator here", "C:\\logs\\pass.log", false,
                    "C:\\logs\\pass.log", ""},
        ProposalRow{"folder path gives no name", "/kest/Logs/", false, "/kest/Logs/", ""},
        ProposalRow{"empty", "", false, "", ""}),
    RowName());

// Paths are relative to a scratch folder holding:
//   pass.log, readonly.log (mode 0444), .hidden.log, sub.log/ (a folder),
//   link.log -> pass.log, dirlink.log -> sub.log, dangling.log -> gone.log
struct ExistsRow {
    const char* name;
    const char* path;
    bool expected;
    bool absolute = false; // the path as it stands, not inside the scratch folder
};

void PrintTo(const ExistsRow& row, std::ostream* os) {
    *os << row.name;
}

class FileExistsTest : public testing::TestWithParam<ExistsRow> {
protected:
    void SetUp() override {
        dir.write("pass.log", "x");
        ::chmod(dir.write("readonly.log", "x").c_str(), 0444);
        dir.write(".hidden.log", "x");
        fs::create_directory(dir.dir() / "sub.log");
        fs::create_symlink("pass.log", dir.dir() / "link.log");
        fs::create_symlink("sub.log", dir.dir() / "dirlink.log");
        fs::create_symlink("gone.log", dir.dir() / "dangling.log");
    }
    TempDir dir;
};

TEST_P(FileExistsTest, OrdinaryFilesOnly) {
    const ExistsRow& row = GetParam();
    const std::string path = row.absolute ? row.path : dir.path(row.path);
    EXPECT_EQ(FileExists(path), row.expected) << path;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileExistsTest,
    testing::Values(ExistsRow{"ordinary file", "pass.log", true},
                    ExistsRow{"read-only file", "readonly.log", true},
                    ExistsRow{"dot file", ".hidden.log", true},
                    ExistsRow{"folder", "sub.log", false}, ExistsRow{"missing", "none.log", false},
                    ExistsRow{"case differs", "PASS.LOG", false},
                    ExistsRow{"in a missing folder", "nofolder/pass.log", false},
                    ExistsRow{"through a file as folder", "pass.log/x", false},
                    ExistsRow{"link to a file", "link.log", true},
                    ExistsRow{"link to a folder", "dirlink.log", false},
                    ExistsRow{"dangling link", "dangling.log", false},
                    ExistsRow{"trailing separator", "sub.log/", false},
                    ExistsRow{"star matches", "pa*.log", true}, ExistsRow{"star alone", "*", true},
                    ExistsRow{"question mark matches one", "pas?.log", true},
                    ExistsRow{"question mark needs a character", "pass?.log", false},
                    ExistsRow{"pattern without a match", "*.txt", false},
                    ExistsRow{"pattern is case exact", "P*.log", false},
                    ExistsRow{"pattern matching only a folder", "sub.l?g", false},
                    ExistsRow{"pattern in a missing folder", "nofolder/*.log", false},
                    ExistsRow{"device", "/dev/null", false, true},
                    ExistsRow{"empty path", "", false, true}),
    RowName());

TEST(WriteProcessedText, NewFileHoldsTheBytesExactly) {
    TempDir dir;
    const std::string target = dir.path("new.log");
    const std::string bytes = allBytes();
    ASSERT_EQ(writeProcessedText(target, bytes), 0);
    EXPECT_EQ(readBytes(target), bytes);
    EXPECT_EQ(namesIn(dir.dir()), std::set<std::string>{"new.log"}); // no temporary left
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(modeOf(target), 0666 & ~mask);
}

TEST(WriteProcessedText, EmptyTextEmptiesTheFile) {
    TempDir dir;
    const std::string target = dir.write("pass.log", "old content\r\n");
    ASSERT_EQ(writeProcessedText(target, ""), 0);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST(WriteProcessedText, ReplacesWholeAndKeepsPermissions) {
    TempDir dir;
    const std::string target = dir.write("pass.log", std::string(10000, 'o'));
    ::chmod(target.c_str(), 0640);
    ASSERT_EQ(writeProcessedText(target, "short\r\n"), 0);
    EXPECT_EQ(readBytes(target), "short\r\n");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_EQ(namesIn(dir.dir()), std::set<std::string>{"pass.log"});
}

TEST(WriteProcessedText, WritesThroughLinksAndKeepsThem) {
    TempDir dir;
    fs::create_directory(dir.dir() / "real");
    const std::string real = dir.write("real/pass.log", "old");
    fs::create_symlink("real/pass.log", dir.dir() / "hop.log");
    fs::create_symlink(dir.path("hop.log"), dir.dir() / "link.log");
    ASSERT_EQ(writeProcessedText(dir.path("link.log"), "new\r\n"), 0);
    EXPECT_EQ(readBytes(real), "new\r\n");
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "link.log"));
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "hop.log"));
    EXPECT_EQ(namesIn(dir.dir() / "real"), std::set<std::string>{"pass.log"});
}

TEST(WriteProcessedText, DanglingLinkCreatesTheFileItNames) {
    TempDir dir;
    fs::create_symlink("target.log", dir.dir() / "link.log");
    ASSERT_EQ(writeProcessedText(dir.path("link.log"), "text"), 0);
    EXPECT_EQ(readBytes(dir.path("target.log")), "text");
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "link.log"));
}

TEST(WriteProcessedText, LinkLoopFails) {
    TempDir dir;
    fs::create_symlink("b.log", dir.dir() / "a.log");
    fs::create_symlink("a.log", dir.dir() / "b.log");
    EXPECT_NE(writeProcessedText(dir.path("a.log"), "text"), 0);
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "a.log"));
    EXPECT_TRUE(fs::is_symlink(dir.dir() / "b.log"));
}

// A failing write leaves whatever was there as it was, and no temporary file.
struct FailureRow {
    const char* name;
    int expectedError;
    // Prepares the scratch folder and gives the path to write to.
    std::string (*prepare)(const TempDir& dir);
    bool needsNonRoot = false;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.name;
}

class WriteFailureTest : public testing::TestWithParam<FailureRow> {};

TEST_P(WriteFailureTest, LeavesTheOriginalWhole) {
    const FailureRow& row = GetParam();
    if (row.needsNonRoot && ::geteuid() == 0)
        GTEST_SKIP() << "root writes files whatever their permission bits";
    TempDir dir;
    const std::string original = std::string(5000, 'o') + "\r\noriginal end";
    dir.write("pass.log", original);
    const std::string target = row.prepare(dir);
    const auto before = namesIn(dir.dir());

    EXPECT_EQ(writeProcessedText(target, allBytes() + std::string(100000, 'n')), row.expectedError);
    EXPECT_EQ(readBytes(dir.path("pass.log")), original);
    EXPECT_EQ(namesIn(dir.dir()), before);
    fs::permissions(dir.dir(), fs::perms::owner_all, fs::perm_options::add);
}

// The process may write at most a few bytes to any file, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit tight = saved_;
        tight.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST(WriteProcessedText, FullDiskMidWriteLeavesTheOriginalWhole) {
    TempDir dir;
    const std::string original = "original\r\n";
    const std::string target = dir.write("pass.log", original);
    int error = 0;
    {
        const FileSizeLimit limit(64);
        error = writeProcessedText(target, allBytes());
    }
    EXPECT_EQ(error, 61);
    EXPECT_EQ(readBytes(target), original);
    EXPECT_EQ(namesIn(dir.dir()), std::set<std::string>{"pass.log"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WriteFailureTest,
    testing::Values(FailureRow{"missing folder", 76,
                               [](const TempDir& d) { return d.path("nofolder/pass.log"); }},
                    FailureRow{"folder in the target's place", 75,
                               [](const TempDir& d) {
                                   fs::create_directory(d.dir() / "sub.log");
                                   return d.path("sub.log");
                               }},
                    FailureRow{"full device", 61,
                               [](const TempDir&) { return std::string("/dev/full"); }},
                    FailureRow{"empty path", 53, [](const TempDir&) { return std::string(); }},
                    FailureRow{"read-only target", 70,
                               [](const TempDir& d) {
                                   ::chmod(d.path("pass.log").c_str(), 0444);
                                   return d.path("pass.log");
                               },
                               true},
                    FailureRow{"folder that may not be written", 70,
                               [](const TempDir& d) {
                                   ::chmod(d.dir().c_str(), 0555);
                                   return d.path("pass.log");
                               },
                               true}),
    RowName());

TEST(CurrentFolder, SetAndReadBack) {
    TempDir dir;
    const std::string before = currentFolder();
    ASSERT_EQ(setCurrentFolder(dir.dir().string()), 0);
    EXPECT_EQ(fs::path(currentFolder()), fs::canonical(dir.dir()));
    EXPECT_EQ(setCurrentFolder(dir.path("missing")), 53);
    EXPECT_EQ(fs::path(currentFolder()), fs::canonical(dir.dir())); // unchanged by a failure
    setCurrentFolder(before);
}

} // namespace
} // namespace tallix::actions
