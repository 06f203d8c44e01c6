// Hostile names and a file system that changes under the program: names that
// are not UTF-8 or hold blanks, quotes and leading dashes; a file that goes
// away or turns unreadable between the listing and the selection; a folder
// that vanished; a kest.ini that is a folder or binary. Each gives a clear
// error number or the exact result, and the other files stay as they were.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "app/startup.h"
#include "files/file_facts.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"

namespace tallix {
namespace {

namespace fs = std::filesystem;
using analysis::RunOutcome;
using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

const std::string smallLog = crlfLines({"Kest log", "Fm ON4AB To CQ >[10:00:00]", "hello",
                                        "Fm PA3XYZ To CQ", "gone", "Fm PA3XYZ To CQ*", "back"});
const std::string smallRtf = "{\\rtf1\\ansi Kest log\\par Fm ON4AB To CQ\\par hello}";

// ---- names ----

struct NameRow {
    const char* name;
    std::string fileName;
};

const NameRow nameRows[] = {
    {"not UTF-8", "log\xFF\xFE\x80.txt"},
    {"Latin-1 letters", "st\xE9phane \xE0 l'\xEEle.log"},
    {"blanks inside and around", " my kest log  .txt"},
    {"quotes", "it's \"the\" log.txt"},
    {"leading dashes", "-rf --help.log"},
    {"only a dash and the extension", "-.txt"},
    {"backslash semicolon and glob characters", "a\\b;c*?[x].log"},
    {"a line break in the name", "two\r\nlines.txt"},
    {"rich text with odd bytes", "--n\xE9\"ws .RTF"},
    {"rich text with a leading dash", "-x.rtf"},
};

class HostileNameTest : public testing::TestWithParam<NameRow> {};

TEST_P(HostileNameTest, ListsPreviewsAndAnalysesTheFile) {
    const NameRow& row = GetParam();
    TempDir dir;
    TempDir work; // the current folder of the run, where "rtftemp.tmp" goes
    const bool rich = files::isRtfPath(row.fileName);
    const std::string content = rich ? smallRtf : smallLog;
    const std::string path = dir.write(row.fileName, content);
    const auto before = testsupport::snapshot(dir.dir());

    const files::FolderListing listing = files::listFolder(dir.dir().string());
    ASSERT_TRUE(listing.ok);
    EXPECT_EQ(listing.names, std::vector<std::string>{row.fileName});

    const files::FileFactsResult facts = files::readFileFacts(path);
    ASSERT_TRUE(facts.facts.has_value()) << facts.errorNumber;
    EXPECT_EQ(facts.facts->size, content.size());

    const files::RawText raw = files::loadRawText(path);
    ASSERT_TRUE(raw.loaded) << raw.errorNumber;
    EXPECT_EQ(raw.richText, rich);
    EXPECT_EQ(raw.text, rich ? "Kest log\r\nFm ON4AB To CQ\r\nhello" : smallLog);

    // The run as the window makes it, temporary file and all.
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = rich;
    input.ownCall = "PA3XYZ";
    input.rawPane = [&raw] {
        return analysis::RawPane{raw.text, files::previewLineCount(raw.text)};
    };
    ScriptedControl control;
    analysis::LineStore store;
    analysis::HeardStore heard;
    RunOutcome out;
    {
        testsupport::CurrentFolder inWork(work.dir());
        out = analysis::runAnalysis(input, store, heard, control);
    }
    EXPECT_TRUE(control.prompts.empty());
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(control.intakePaths, std::vector<std::string>{path});
    if (rich) {
        EXPECT_EQ(out.lineCount, 3); // three paragraphs, the last ended by the run's CR LF
        EXPECT_EQ(testsupport::readBytes(work.path("rtftemp.tmp")), raw.text + "\r\n");
        EXPECT_EQ(out.currentFile, path.substr(0, path.size() - 4) + ".txt");
        EXPECT_EQ(out.processedText, "Kest log\r\nFm ON4AB To CQ\r\nhello\r\n");
    } else {
        EXPECT_EQ(out.lineCount, 7);
        EXPECT_EQ(out.currentFile, path);
        EXPECT_EQ(out.processedText, crlfLines({"Kest log", "Fm ON4AB To CQ >[10:00:00]", "hello",
                                                "Fm PA3XYZ To CQ*", "back"}));
    }

    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileNameTest, testing::ValuesIn(nameRows),
                         testsupport::RowName());

// ---- dates at the ends of what the file system holds ----

struct DateRow {
    const char* name;
    std::int64_t modified; // seconds since 1970, UTC
    std::string general;   // Label35 and Label22 without their words
    std::string shortDate; // lbldate
};

const DateRow dateRows[] = {
    {"1901, the earliest date", -2147483648LL, "1901-12-13 20:45:52", "1901-12-13"},
    {"one second before 1970", -1, "1969-12-31 23:59:59", "1969-12-31"},
    {"2446, the latest date", 15032385535LL, "2446-05-10 22:38:55", "2446-05-10"},
    {"midnight shows the date alone", 946684800, "2000-01-01", "2000-01-01"},
};

class HostileDateTest : public testing::TestWithParam<DateRow> {};

TEST_P(HostileDateTest, FactsAndRunShowTheDate) {
    const DateRow& row = GetParam();
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    TempDir dir;
    const std::string path = dir.write("old.log", smallLog);
    const timespec times[2] = {{row.modified, 0}, {row.modified, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    if (st.st_mtime != row.modified)
        GTEST_SKIP() << "this file system keeps no such date";

    const files::FileFactsResult facts = files::readFileFacts(path);
    ASSERT_TRUE(facts.facts.has_value()) << facts.errorNumber;
    const files::SelectionCaptions captions =
        files::selectionCaptions(*facts.facts, files::defaultDateFormat());
    EXPECT_EQ(captions.createdLabel, "Created @ " + row.general + "h");
    EXPECT_EQ(captions.date, row.shortDate);

    ScriptedControl control;
    analysis::RunInput input;
    input.currentFile = path;
    analysis::LineStore store;
    analysis::HeardStore heard;
    const RunOutcome out = analysis::runAnalysis(input, store, heard, control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(testsupport::captionOf(out, "Label22"), row.general);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileDateTest, testing::ValuesIn(dateRows),
                         testsupport::RowName());

// ---- the temporary file of a rich-text run cannot be written ----

struct TempFileRow {
    const char* name;
    // Done to the run's current folder before the run.
    std::function<void(const fs::path& work)> prepare;
    int errorNumber;
    bool needsNonRoot = false;
};

const TempFileRow tempFileRows[] = {
    {"rtftemp.tmp is a folder",
     [](const fs::path& w) { fs::create_directory(w / analysis::RtfTempFileName); }, 75},
    {"the current folder was deleted", [](const fs::path& w) { fs::remove_all(w); }, 53},
    // The write fails (70), then reading the file that is not there (53); the
    // later failure is the one reported.
    {"the current folder is read-only",
     [](const fs::path& w) { fs::permissions(w, fs::perms::owner_read | fs::perms::owner_exec); },
     53, true},
    // A stale file of an earlier run is never analysed in place of the new text.
    {"a stale read-only rtftemp.tmp",
     [](const fs::path& w) {
         std::ofstream(w / analysis::RtfTempFileName) << "Kest\r\nFm OLD1 To CQ\r\n";
         fs::permissions(w / analysis::RtfTempFileName, fs::perms::owner_read);
     },
     70, true},
};

class HostileTempFileTest : public testing::TestWithParam<TempFileRow> {};

TEST_P(HostileTempFileTest, RunReportsTheFailureUnderTheTextName) {
    const TempFileRow& row = GetParam();
    if (row.needsNonRoot && testsupport::runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root; the other rows cover a temporary "
                        "file that cannot be written";
    TempDir dir;
    TempDir work;
    const std::string path = dir.write("pass.rtf", smallRtf);
    const auto before = testsupport::snapshot(dir.dir());
    const files::RawText raw = files::loadRawText(path);
    ASSERT_TRUE(raw.loaded);

    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = true;
    input.ownCall = "PA3XYZ";
    input.rawPane = [&raw] { return analysis::RawPane{raw.text, 2}; };
    ScriptedControl control;
    analysis::LineStore store;
    analysis::HeardStore heard;
    RunOutcome out;
    {
        testsupport::CurrentFolder inWork(work.dir());
        row.prepare(work.dir());
        out = analysis::runAnalysis(input, store, heard, control);
    }
    std::error_code ec; // so that the scratch folder can be removed
    fs::permissions(work.dir(), fs::perms::owner_all, fs::perm_options::add, ec);

    EXPECT_TRUE(control.prompts.empty());
    ASSERT_EQ(out.end, RunOutcome::End::Failed);
    ASSERT_TRUE(out.failure.has_value());
    EXPECT_EQ(out.failure->code, row.errorNumber);
    EXPECT_EQ(out.failure->message,
              analysis::failureMessage(row.errorNumber, dir.path("pass.txt")));
    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the source was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileTempFileTest, testing::ValuesIn(tempFileRows),
                         testsupport::RowName());

// ---- a file that changes between the listing and the selection ----

struct VanishRow {
    const char* name;
    // Done to the listed file (and its folder) after the listing.
    std::function<void(const fs::path& file)> change;
    int errorNumber;
    // Permission bits: they do not stop root, and the file can still be
    // measured and dated, so a run from bytes in hand goes through.
    bool unreadableOnly = false;
};

const VanishRow vanishRows[] = {
    {"deleted", [](const fs::path& f) { fs::remove(f); }, 53},
    {"replaced by a folder",
     [](const fs::path& f) {
         fs::remove(f);
         fs::create_directory(f);
         std::ofstream(f / "inside.txt") << "not the file";
     },
     75},
    {"replaced by a link to nowhere",
     [](const fs::path& f) {
         fs::remove(f);
         fs::create_symlink(f.parent_path() / "nowhere.txt", f);
     },
     53},
    {"its folder deleted", [](const fs::path& f) { fs::remove_all(f.parent_path()); }, 53},
    {"its folder replaced by a file",
     [](const fs::path& f) {
         fs::remove_all(f.parent_path());
         std::ofstream(f.parent_path()) << "a file now";
     },
     76},
    {"made unreadable", [](const fs::path& f) { fs::permissions(f, fs::perms::none); }, 70, true},
};

class HostileVanishTest : public testing::TestWithParam<VanishRow> {};

TEST_P(HostileVanishTest, SelectionPreviewAndRunReportTheFailure) {
    const VanishRow& row = GetParam();
    if (row.unreadableOnly && testsupport::runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root; the other rows cover a file that "
                        "cannot be read";
    TempDir top;
    const fs::path folder = top.dir() / "Logs";
    fs::create_directory(folder);
    const std::string other = top.write("other.txt", smallLog);
    const std::string path = (folder / "pass.log").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << smallLog;
    }
    const files::FolderListing listing = files::listFolder(folder.string());
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.names, std::vector<std::string>{"pass.log"});
    // The preview's copy of the raw text, taken when the file was selected.
    const files::RawText earlier = files::loadRawText(path);
    ASSERT_TRUE(earlier.loaded);

    row.change(path);

    const files::FileFactsResult facts = files::readFileFacts(path);
    if (row.unreadableOnly) {
        EXPECT_TRUE(facts.facts.has_value());
    } else {
        EXPECT_FALSE(facts.facts.has_value());
        EXPECT_EQ(facts.errorNumber, row.errorNumber);
    }

    const files::RawText raw = files::loadRawText(path);
    EXPECT_FALSE(raw.loaded);
    EXPECT_EQ(raw.errorNumber, row.errorNumber);
    EXPECT_TRUE(raw.text.empty());

    // A file that cannot be read is not recognised: the prompt comes first.
    analysis::RunInput input;
    input.currentFile = path;
    input.ownCall = "PA3XYZ";
    analysis::LineStore store;
    analysis::HeardStore heard;
    ScriptedControl declines;
    declines.answerPrompt = false;
    const RunOutcome declined = analysis::runAnalysis(input, store, heard, declines);
    EXPECT_EQ(declines.prompts.size(), 1U);
    EXPECT_EQ(declined.end, RunOutcome::End::Declined);

    ScriptedControl allows;
    const RunOutcome failed = analysis::runAnalysis(input, store, heard, allows);
    EXPECT_EQ(allows.prompts.size(), 1U);
    ASSERT_EQ(failed.end, RunOutcome::End::Failed);
    ASSERT_TRUE(failed.failure.has_value());
    EXPECT_EQ(failed.failure->code, row.errorNumber);
    EXPECT_EQ(failed.failure->message.text, "An error has occured when opening the file " + path);
    EXPECT_EQ(failed.failure->message.title, "Error nr: " + std::to_string(row.errorNumber));
    EXPECT_TRUE(failed.captions.empty());
    EXPECT_TRUE(allows.passStartedCounts.empty());

    EXPECT_EQ(testsupport::readBytes(other), smallLog) << "another file was changed";
    if (row.unreadableOnly)
        return;

    // Read as a plain file from bytes in hand, the date still comes from the
    // file, and its failure ends the run the same way.
    input.fileBytes = std::make_shared<const std::string>(earlier.text);
    ScriptedControl fromBytes;
    const RunOutcome failedFromBytes = analysis::runAnalysis(input, store, heard, fromBytes);
    ASSERT_TRUE(failedFromBytes.failure.has_value());
    EXPECT_EQ(failedFromBytes.failure->code, row.errorNumber);

    // As a rich-text source with the pane's earlier text: no prompt, the same
    // failure, named after the ".txt" twin of the source.
    analysis::RunInput rich;
    rich.currentFile = path;
    rich.isRtf = true;
    rich.writeRtfTempFile = false;
    rich.rawPane = [&earlier] { return analysis::RawPane{earlier.text, 6}; };
    ScriptedControl richControl;
    const RunOutcome richFailed = analysis::runAnalysis(rich, store, heard, richControl);
    EXPECT_TRUE(richControl.prompts.empty());
    ASSERT_TRUE(richFailed.failure.has_value());
    EXPECT_EQ(richFailed.failure->code, row.errorNumber);
    EXPECT_EQ(richFailed.failure->message.text, "An error has occured when opening the file " +
                                                    path.substr(0, path.size() - 4) + ".txt");
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileVanishTest, testing::ValuesIn(vanishRows),
                         testsupport::RowName());

// ---- a folder that is not there any more ----

struct FolderRow {
    const char* name;
    std::function<void(const fs::path& folder)> change;
    int errorNumber;
    bool needsNonRoot = false;
};

const FolderRow folderRows[] = {
    {"deleted", [](const fs::path& f) { fs::remove_all(f); }, 53},
    {"replaced by a file",
     [](const fs::path& f) {
         fs::remove_all(f);
         std::ofstream(f) << "pass.log";
     },
     76},
    {"made unreadable", [](const fs::path& f) { fs::permissions(f, fs::perms::none); }, 70, true},
};

class HostileFolderTest : public testing::TestWithParam<FolderRow> {};

TEST_P(HostileFolderTest, ListingReportsTheFailure) {
    const FolderRow& row = GetParam();
    if (row.needsNonRoot && testsupport::runningAsRoot())
        GTEST_SKIP() << "permission bits do not stop root; the other rows cover a folder that "
                        "cannot be listed";
    TempDir top;
    const fs::path folder = top.dir() / "Reports";
    fs::create_directory(folder);
    std::ofstream(folder / "pass.log") << smallLog;
    ASSERT_TRUE(files::listFolder(folder.string()).ok);

    row.change(folder);
    const files::FolderListing listing = files::listFolder(folder.string());
    EXPECT_FALSE(listing.ok);
    EXPECT_EQ(listing.errorNumber, row.errorNumber);
    EXPECT_TRUE(listing.names.empty());
    std::error_code ec; // so that the scratch folder can be removed
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ec);
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileFolderTest, testing::ValuesIn(folderRows),
                         testsupport::RowName());

// ---- kest.ini that is not a settings file ----

struct SettingsRow {
    const char* name;
    std::function<void(const fs::path& folder)> make;
    // What the start-up decision gets, and gives with the launch code.
    std::optional<std::string> content;
    app::StartupDecision::Outcome launched;
    std::string ownCall;
};

const std::string binaryIni = testsupport::bytesOf("\x7F"
                                                   "ELF\x02\x01\x01\0\0\0\xFF\xFE\r\n\x80\r");
const std::string kestThenBinary = testsupport::bytesOf(";Kest\0\xFF\r\n\x01\x02\r\n\r\n\x80"
                                                        "CALL\0 \r\n\xFF\xFF");

const SettingsRow settingsRows[] = {
    {"a folder named kest.ini",
     [](const fs::path& f) {
         fs::create_directory(f / "kest.ini");
         std::ofstream(f / "kest.ini" / "x") << ";Kest\r\n";
     },
     std::nullopt, app::StartupDecision::Outcome::NotFound, ""},
    {"a folder named KEST.INI", [](const fs::path& f) { fs::create_directory(f / "KEST.INI"); },
     std::nullopt, app::StartupDecision::Outcome::NotFound, ""},
    {"a link to nowhere",
     [](const fs::path& f) { fs::create_symlink(f / "gone.ini", f / "kest.ini"); }, std::nullopt,
     app::StartupDecision::Outcome::NotFound, ""},
    {"binary bytes", [](const fs::path& f) { std::ofstream(f / "kest.ini") << binaryIni; },
     binaryIni, app::StartupDecision::Outcome::NotFound, ""},
    {"binary bytes after the Kest mark",
     [](const fs::path& f) { std::ofstream(f / "kest.ini") << kestThenBinary; }, kestThenBinary,
     app::StartupDecision::Outcome::Continue,
     testsupport::bytesOf("\x80"
                          "CALL\0 ")},
    {"empty", [](const fs::path& f) { std::ofstream(f / "kest.ini") << ""; }, std::string(),
     app::StartupDecision::Outcome::NotFound, ""},
};

class HostileSettingsTest : public testing::TestWithParam<SettingsRow> {};

TEST_P(HostileSettingsTest, StartUpDecidesFromWhatCanBeRead) {
    const SettingsRow& row = GetParam();
    TempDir host;
    row.make(host.dir());
    const auto before = testsupport::snapshot(host.dir());

    // As the window reads it: the entry found without regard to case, read whole.
    const std::optional<std::string> found = app::findSettingsFile(host.dir().string());
    const std::optional<std::string> content = found ? app::readWholeFile(*found) : std::nullopt;
    ASSERT_EQ(content.has_value(), row.content.has_value());
    EXPECT_TRUE(content == row.content);

    const app::StartupDecision launched = app::decideStartup(" 4ktrmn ", content);
    EXPECT_EQ(launched.outcome, row.launched);
    EXPECT_TRUE(launched.ownCall == row.ownCall);
    if (row.launched == app::StartupDecision::Outcome::NotFound) {
        EXPECT_EQ(launched.message, app::notFoundMessage());
    }

    // The developer code runs whatever the settings file is.
    const app::StartupDecision developer = app::decideStartup("hstk_rw4bz_lmq", content);
    EXPECT_EQ(developer.outcome, app::StartupDecision::Outcome::Continue);
    EXPECT_FALSE(developer.message.has_value());

    EXPECT_TRUE(testsupport::snapshot(host.dir()) == before) << "the settings were changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileSettingsTest, testing::ValuesIn(settingsRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix
