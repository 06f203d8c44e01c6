// Hostile names, contents and a file system that changes under the program:
// the listing, the preview and the run each give their exact result or error
// number, and nothing on disk changes.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "analysis/run.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"

namespace tallix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using analysis::RunOutcome;
using testsupport::ScriptedControl;
using testsupport::TempDir;

// The own frame without a digipeat marker goes with its data line.
const std::string smallLog = "Kest log\r\nFm PA3XYZ To CQ\r\ngone\r\nFm ON4AB To CQ\r\nhello\r\n";
const std::string smallRtf = "{\\rtf1\\ansi Kest log\\par Fm PA3XYZ To CQ\\par gone\\par "
                             "Fm ON4AB To CQ\\par hello}";
const std::string smallProcessed = "Kest log\r\nFm ON4AB To CQ\r\nhello\r\n";

// Every byte value 64 times; a lone CR ends a line, a lone LF does not.
std::string everyByte(const std::string& cr) {
    std::string s;
    for (int i = 0; i < 64 * 256; ++i)
        s += i % 256 == '\r' ? cr : std::string(1, static_cast<char>(i % 256));
    return s;
}

// Path to bytes of every regular file below `folder`.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files[it->path().string()] = testsupport::readBytes(it->path().string());
    return files;
}

// A file `fileName` holding `content` in a folder Logs, then `change`d (the
// file, the current folder); the error numbers of the listing and of the
// preview and the run (0: none), and the run's processed text.
struct InputRow : testsupport::NamedRow {
    const char* fileName = "pass.log";
    std::string content = smallLog;
    void (*change)(const fs::path& file, const fs::path& work) = nullptr;
    int listingError = 0, readError = 0;
    bool prompted = false; // not recognised as a Kest file
    std::string processed = smallProcessed;
    bool permissionBits = false; // they do not stop root
};

const InputRow inputRows[] = {
    {"leading dashes, not UTF-8, blanks and quotes",
     "-rf --help \xFF\xFE\x80 it's \"the\"  log .txt"},
    {"binary", "pass.log", everyByte("\r"), nullptr, 0, 0, true, everyByte("\r\n") + "\r\n"},
    {"file made unreadable", "pass.log", smallLog,
     [](auto& f, auto&) { fs::permissions(f, fs::perms::none); }, 0, 70, true, "", true},
    {"folder deleted", "pass.log", smallLog,
     [](auto& f, auto&) { fs::remove_all(f.parent_path()); }, 53, 53, true},
    // Where the temporary file cannot be written, the text is read from memory;
    // a stale file of an earlier run is never analysed in place of the new text.
    {"stale read-only rtftemp.tmp", "pass.rtf", smallRtf,
     [](auto&, auto& w) {
         std::ofstream(w / "rtftemp.tmp") << "Kest\r\nFm OLD1 To CQ\r\n";
         fs::permissions(w / "rtftemp.tmp", fs::perms::owner_read);
     },
     0, 0, false, smallProcessed, true},
};

class HostileInputTest : public testing::TestWithParam<InputRow> {};

TEST_P(HostileInputTest, ListingPreviewAndRunGiveTheExactResult) {
    const InputRow& row = GetParam();
    if (row.permissionBits && ::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempDir top, work;
    fs::create_directory(top.dir() / "Logs");
    const bool rich = files::isRtfPath(row.fileName);
    const std::string path = top.write("Logs/"s + row.fileName, row.content);
    if (row.change)
        row.change(path, work.dir());
    const auto before = snapshot(top.dir());

    const auto listing = files::listFolder(top.path("Logs"));
    EXPECT_EQ(listing.errorNumber, row.listingError);
    const auto raw = files::loadRawText(path);
    EXPECT_EQ(raw.errorNumber, row.readError);
    EXPECT_EQ(raw.loaded, row.readError == 0);
    if (!row.readError) {
        EXPECT_EQ(listing.names, std::vector<std::string>{row.fileName});
        // The bytes as they are; rich text as its plain text, without the last line end.
        EXPECT_TRUE(raw.text == (rich ? smallLog.substr(0, smallLog.size() - 2) : row.content));
    }
    // The run as the window makes it: the preview's text in hand, `work` the current folder.
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = rich;
    input.ownCall = "PA3XYZ";
    input.rawPane = [&] { return analysis::RawPane{raw.text, 4}; };
    ScriptedControl control;
    const std::string staleTemp = testsupport::readBytes(work.path("rtftemp.tmp"));
    testsupport::CurrentFolder inWork(work.dir());
    const RunOutcome out = testsupport::runFresh(input, control);
    EXPECT_EQ(control.prompts.size(), row.prompted ? 1U : 0U);
    if (row.readError) {
        ASSERT_TRUE(out.end == RunOutcome::End::Failed && out.failure);
        EXPECT_EQ(out.failure->message, analysis::failureMessage(row.readError, out.currentFile));
    } else {
        ASSERT_EQ(out.end, RunOutcome::End::Concluded);
        // A rich-text source leaves the name of its ".txt" twin.
        EXPECT_EQ(out.currentFile, rich ? path.substr(0, path.size() - 4) + ".txt" : path);
        EXPECT_TRUE(out.processedText == row.processed) << out.processedText.size() << " bytes";
        if (!staleTemp.empty()) { // left as it was
            EXPECT_EQ(testsupport::readBytes(work.path("rtftemp.tmp")), staleTemp);
        }
    }
    EXPECT_TRUE(snapshot(top.dir()) == before) << "a file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileInputTest, testing::ValuesIn(inputRows),
                         testsupport::RowName());

// A regular file whose reading fails (the kernel's view of our own memory
// gives EIO at offset 0) ends the run with the device error, nothing more.
TEST(HostileInput, AReadThatFailsIsADeviceError) {
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
