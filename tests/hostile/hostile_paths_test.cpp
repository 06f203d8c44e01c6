// Hostile names and a file system that changes under the program: names that
// are not UTF-8 or hold blanks, quotes and leading dashes; a file that goes
// away or turns unreadable between the listing and the selection; a folder
// that vanished; a temporary file that cannot be written; a kest.ini that is a
// folder or binary. Each gives its exact result or error number, and nothing
// else on disk changes.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "app/startup.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"

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

// The run as the window makes it: the preview's text in hand, `work` the
// current folder.
RunOutcome runAsWindow(const std::string& path, bool rich, const fs::path& work,
                       ScriptedControl& control) {
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = rich;
    input.ownCall = "PA3XYZ";
    input.rawPane = [rich] { return analysis::RawPane{rich ? smallRtfText : smallLog, 4}; };
    analysis::LineStore store;
    analysis::HeardStore heard;
    testsupport::CurrentFolder inWork(work);
    return analysis::runAnalysis(input, store, heard, control);
}

// ---- names ----

struct NameRow {
    const char* name;
    std::string fileName;
};

const NameRow nameRows[] = {
    {"not UTF-8", "log\xFF\xFE\x80.txt"},
    {"blanks inside and around", " my kest log  .txt"},
    {"quotes", "it's \"the\" log.txt"},
    {"leading dashes", "-rf --help.log"},
    {"rich text with dashes, 8-bit bytes, a quote and a blank", "--n\xE9\"ws .RTF"},
};

class HostileNameTest : public testing::TestWithParam<NameRow> {};

TEST_P(HostileNameTest, ListsPreviewsAndAnalysesTheFile) {
    const NameRow& row = GetParam();
    TempDir dir, work;
    const bool rich = files::isRtfPath(row.fileName);
    const std::string path = dir.write(row.fileName, rich ? smallRtf : smallLog);
    const auto before = snapshot(dir.dir());

    EXPECT_EQ(files::listFolder(dir.dir().string()).names, std::vector{row.fileName});
    EXPECT_EQ(files::loadRawText(path).text, rich ? smallRtfText : smallLog);

    ScriptedControl control;
    const RunOutcome out = runAsWindow(path, rich, work.dir(), control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    // A rich-text source leaves the name of its ".txt" twin.
    EXPECT_EQ(out.currentFile, rich ? path.substr(0, path.size() - 4) + ".txt" : path);
    EXPECT_EQ(out.processedText, "Kest log\r\nFm ON4AB To CQ\r\nhello\r\n");
    EXPECT_EQ(testsupport::readBytes(work.path("rtftemp.tmp")), rich ? smallLog : "");
    EXPECT_TRUE(snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileNameTest, testing::ValuesIn(nameRows),
                         testsupport::RowName());

// ---- a file or folder that changes after the listing; a temporary file that cannot be written

struct ChangeRow {
    const char* name;
    void (*change)(const fs::path& file, const fs::path& work);
    bool rich;
    int listingError, previewError, runError;
    bool permissionBits = false; // they do not stop root
};

const ChangeRow changeRows[] = {
    {"file deleted", [](const fs::path& f, const fs::path&) { fs::remove(f); }, false, 0, 53, 53},
    {"file made unreadable",
     [](const fs::path& f, const fs::path&) { fs::permissions(f, fs::perms::none); }, false, 0, 70,
     70, true},
    {"folder deleted", [](const fs::path& f, const fs::path&) { fs::remove_all(f.parent_path()); },
     false, 53, 53, 53},
    {"rtftemp.tmp is a folder",
     [](const fs::path&, const fs::path& w) { fs::create_directory(w / "rtftemp.tmp"); }, true, 0,
     0, 75},
    // A stale file of an earlier run is never analysed in place of the new text.
    {"stale read-only rtftemp.tmp",
     [](const fs::path&, const fs::path& w) {
         std::ofstream(w / "rtftemp.tmp") << "Kest\r\nFm OLD1 To CQ\r\n";
         fs::permissions(w / "rtftemp.tmp", fs::perms::owner_read);
     },
     true, 0, 0, 70, true},
};

class HostileChangeTest : public testing::TestWithParam<ChangeRow> {};

TEST_P(HostileChangeTest, ListingPreviewAndRunReportTheFailure) {
    const ChangeRow& row = GetParam();
    if (row.permissionBits && ::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempDir top, work;
    fs::create_directory(top.dir() / "Logs");
    const std::string path =
        top.write(row.rich ? "Logs/pass.rtf" : "Logs/pass.log", row.rich ? smallRtf : smallLog);
    row.change(path, work.dir());
    const auto before = snapshot(top.dir());

    EXPECT_EQ(files::listFolder(top.path("Logs")).errorNumber, row.listingError);
    EXPECT_EQ(files::loadRawText(path).errorNumber, row.previewError);
    // A plain file that cannot be read is not recognised: the prompt comes first.
    ScriptedControl control;
    const RunOutcome out = runAsWindow(path, row.rich, work.dir(), control);
    EXPECT_EQ(control.prompts.size(), row.rich ? 0U : 1U);
    ASSERT_TRUE(out.end == RunOutcome::End::Failed && out.failure);
    EXPECT_EQ(out.failure->message, analysis::failureMessage(row.runError, out.currentFile));
    EXPECT_EQ(out.currentFile, row.rich ? top.path("Logs/pass.txt") : path);
    EXPECT_TRUE(snapshot(top.dir()) == before) << "a file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileChangeTest, testing::ValuesIn(changeRows),
                         testsupport::RowName());

// ---- kest.ini that is not a settings file ----

// A folder named kest.ini is no settings file; binary bytes after the Kest mark
// are read as they are, the call sign on line 4 included.
TEST(HostileSettings, StartUpDecidesFromWhatCanBeRead) {
    const struct {
        const char* name;
        std::optional<std::string> content; // none: a folder named kest.ini
        std::string ownCall;
    } rows[] = {{"a folder", std::nullopt, ""},
                {"binary", ";Kest\0\xFF\r\n\x01\r\n\r\n\200CALL\0 \r\n\xFF"s, "\200CALL\0 "s}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir host;
        if (row.content)
            host.write("kest.ini", *row.content);
        else
            fs::create_directory(host.dir() / "kest.ini");
        const auto before = snapshot(host.dir());

        const std::optional<std::string> found = app::findSettingsFile(host.dir().string());
        const auto content = found ? app::readWholeFile(*found) : std::nullopt;
        EXPECT_TRUE(content == row.content);
        const app::StartupDecision launched = app::decideStartup(" 4ktrmn ", content);
        EXPECT_EQ(launched.outcome, row.content ? app::StartupDecision::Outcome::Continue
                                                : app::StartupDecision::Outcome::NotFound);
        EXPECT_TRUE(launched.ownCall == row.ownCall);
        EXPECT_TRUE(snapshot(host.dir()) == before) << "the settings were changed";
    }
}

} // namespace
} // namespace tallix
