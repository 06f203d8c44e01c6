// Hostile names and a file system that changes under the program: each gives
// its exact result or error number, and nothing else on disk changes.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "analysis/run.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"

namespace tallix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using analysis::RunOutcome;
using testsupport::ScriptedControl;
using testsupport::snapshot;
using testsupport::TempDir;

// The own frame without a digipeat marker goes with its data line.
const std::string smallLog = "Kest log\r\nFm PA3XYZ To CQ\r\ngone\r\nFm ON4AB To CQ\r\nhello\r\n";
const std::string smallRtf = "{\\rtf1\\ansi Kest log\\par Fm PA3XYZ To CQ\\par gone\\par "
                             "Fm ON4AB To CQ\\par hello}";
const std::string smallRtfText = smallLog.substr(0, smallLog.size() - 2); // no last CR LF

// A file named `fileName` in a folder Logs, then `change`d (the file, the current
// folder); the error numbers of the listing, the preview and the run (0: none).
struct PathRow : testsupport::NamedRow {
    const char* fileName;
    void (*change)(const fs::path& file, const fs::path& work);
    int listingError, previewError, runError;
    bool permissionBits = false; // they do not stop root
};

const PathRow pathRows[] = {
    {"leading dashes, not UTF-8, blanks and quotes",
     "-rf --help \xFF\xFE\x80 it's \"the\"  log .txt", nullptr, 0, 0, 0},
    {"file made unreadable", "pass.log",
     [](auto& f, auto&) { fs::permissions(f, fs::perms::none); }, 0, 70, 70, true},
    {"folder deleted", "pass.log", [](auto& f, auto&) { fs::remove_all(f.parent_path()); }, 53, 53,
     53},
    // Where the temporary file cannot be written, the text is read from memory;
    // a stale file of an earlier run is never analysed in place of the new text.
    {"stale read-only rtftemp.tmp", "pass.rtf",
     [](auto&, auto& w) {
         std::ofstream(w / "rtftemp.tmp") << "Kest\r\nFm OLD1 To CQ\r\n";
         fs::permissions(w / "rtftemp.tmp", fs::perms::owner_read);
     },
     0, 0, 0, true},
};

class HostilePathTest : public testing::TestWithParam<PathRow> {};

TEST_P(HostilePathTest, ListingPreviewAndRunGiveTheExactResult) {
    const PathRow& row = GetParam();
    if (row.permissionBits && ::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempDir top, work;
    fs::create_directory(top.dir() / "Logs");
    const bool rich = files::isRtfPath(row.fileName);
    const std::string path = top.write("Logs/"s + row.fileName, rich ? smallRtf : smallLog);
    if (row.change)
        row.change(path, work.dir());
    const auto before = snapshot(top.dir());

    const auto listing = files::listFolder(top.path("Logs"));
    EXPECT_EQ(listing.errorNumber, row.listingError);
    const auto raw = files::loadRawText(path);
    EXPECT_EQ(raw.errorNumber, row.previewError);
    EXPECT_EQ(raw.loaded, row.previewError == 0);
    if (!row.previewError) {
        EXPECT_EQ(listing.names, std::vector<std::string>{row.fileName});
        EXPECT_EQ(raw.text, rich ? smallRtfText : smallLog);
    }
    // The run as the window makes it: the preview's text in hand, `work` the current folder.
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = rich;
    input.ownCall = "PA3XYZ";
    input.rawPane = [&] { return analysis::RawPane{raw.text, 4}; };
    ScriptedControl control;
    const bool tempInTheWay = fs::exists(work.dir() / "rtftemp.tmp");
    const std::string staleTemp = testsupport::readBytes(work.path("rtftemp.tmp"));
    testsupport::CurrentFolder inWork(work.dir());
    const RunOutcome out = testsupport::runFresh(input, control);
    if (row.runError) {
        // A plain file that cannot be read is not recognised: the prompt comes first.
        EXPECT_EQ(control.prompts.size(), rich ? 0U : 1U);
        ASSERT_TRUE(out.end == RunOutcome::End::Failed && out.failure);
        EXPECT_EQ(out.failure->message, analysis::failureMessage(row.runError, out.currentFile));
    } else {
        ASSERT_EQ(out.end, RunOutcome::End::Concluded);
        // A rich-text source leaves the name of its ".txt" twin.
        EXPECT_EQ(out.currentFile, rich ? path.substr(0, path.size() - 4) + ".txt" : path);
        EXPECT_EQ(out.processedText, "Kest log\r\nFm ON4AB To CQ\r\nhello\r\n");
        // Written by the run, or left as it was when it stood in the way.
        EXPECT_EQ(testsupport::readBytes(work.path("rtftemp.tmp")), tempInTheWay ? staleTemp
                                                                    : rich       ? smallLog
                                                                                 : "");
    }
    EXPECT_TRUE(snapshot(top.dir()) == before) << "a file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostilePathTest, testing::ValuesIn(pathRows),
                         testsupport::RowName());

// A regular file whose reading fails (the kernel's view of our own memory
// gives EIO at offset 0) ends the run with the device error, nothing more.
TEST(HostileSettings, AReadThatFailsIsADeviceError) {
    analysis::RunInput input;
    input.currentFile = "/proc/self/mem";
    input.ownCall = "PA3XYZ";
    ScriptedControl control;
    const RunOutcome out = testsupport::runFresh(input, control);
    ASSERT_TRUE(out.end == RunOutcome::End::Failed && out.failure);
    EXPECT_EQ(out.failure->code, 57);
}

} // namespace
} // namespace tallix
