#include "analysis/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/test_support.h"

namespace tallix::analysis {
namespace {

using testsupport::captionOf;
using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

const std::string kestLog =
    crlfLines({"Kest log", "Fm ZZ9ZZ To CQ >[10:00:00]", "hello", "Fm AB1CD To CQ >[10:10:00]",
               "gone", "Fm EF2GH To CQ", "hi"});

std::vector<std::string> elements(const RunOutcome& out) {
    std::vector<std::string> names;
    for (const auto& c : out.captions)
        names.push_back(c.element);
    return names;
}

// ---- the prompt for files that do not look like Kest logs ----

struct PromptRow {
    const char* name;
    std::string content;
    bool answer;
    bool asked;
    RunOutcome::End end;
};

const PromptRow promptRows[] = {
    {"recognised file is not asked about", kestLog, false, false, RunOutcome::End::Concluded},
    {"unrecognised file answered yes", crlfLines({"hello", "world"}), true, true,
     RunOutcome::End::Concluded},
    {"unrecognised file answered no", crlfLines({"hello", "world"}), false, true,
     RunOutcome::End::Declined},
    {"empty file answered yes", "", true, true, RunOutcome::End::Concluded},
};

class PromptTest : public testing::TestWithParam<PromptRow> {};

TEST_P(PromptTest, AsksOnlyAboutUnrecognisedFiles) {
    const auto& row = GetParam();
    TempDir dir;
    ScriptedControl control;
    control.answerPrompt = row.answer;
    const auto out = testsupport::runOver(dir, "log.txt", row.content, "AB1CD", control);
    EXPECT_EQ(out.end, row.end);
    EXPECT_FALSE(out.failure.has_value());
    if (row.asked) {
        ASSERT_EQ(control.prompts.size(), 1U);
        EXPECT_EQ(control.prompts[0], unrecognisedFilePrompt());
        EXPECT_EQ(out.fileKind, FileKind::Unrecognised);
    } else {
        EXPECT_TRUE(control.prompts.empty());
    }
    if (row.end == RunOutcome::End::Declined) {
        // Nothing in the window changes.
        EXPECT_TRUE(control.intakePaths.empty());
        EXPECT_TRUE(control.preprocessLines.empty());
        EXPECT_TRUE(control.passStartedCounts.empty());
        EXPECT_TRUE(out.captions.empty());
    } else {
        EXPECT_EQ(control.intakePaths, std::vector<std::string>{dir.path("log.txt")});
        EXPECT_EQ(control.passStartedCounts.size(), 1U);
        EXPECT_EQ(captionOf(out, "Label12"), std::to_string(out.lineCount));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PromptTest, testing::ValuesIn(promptRows), testsupport::RowName());

TEST(Run, EmptyFileRunsThroughWithNoLines) {
    TempDir dir;
    ScriptedControl control;
    const auto out = testsupport::runOver(dir, "empty.txt", "", "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, 0);
    EXPECT_EQ(out.processedText, "");
    EXPECT_EQ(control.passStartedCounts, std::vector<std::int32_t>{0});
    EXPECT_TRUE(control.passLines.empty());
    EXPECT_EQ(captionOf(out, "Label24"), "0 Bytes");
    EXPECT_EQ(captionOf(out, "Label32"), "1 min");
}

// ---- a whole run's figures ----

TEST(Run, FiguresOfASmallLog) {
    TempDir dir;
    ScriptedControl control;
    RunInput input;
    input.currentFile = dir.write("log.txt", kestLog);
    input.ownCall = "AB1CD";
    input.rawPane = [] { return RawPane{kestLog, 8}; };
    input.dateFormat.shortDate = [](const files::LocalDateTime&) { return std::string(" D"); };
    input.dateFormat.longTime = [](const files::LocalDateTime&) { return std::string("T  "); };
    LineStore store;
    HeardStore heard;
    const auto out = runAnalysis(input, store, heard, control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.fileKind, FileKind::HeaderOrFm);
    EXPECT_EQ(out.currentFile, input.currentFile);
    EXPECT_FALSE(out.bringWindowToFront);

    const std::vector<std::string> order = {"totalLineProcessed",
                                            "Label22",
                                            "Label24",
                                            "Label14",
                                            "Label8",
                                            "Label12",
                                            "Label16",
                                            "Label18",
                                            "Label4",
                                            "Label26",
                                            "Label28",
                                            "Label30",
                                            "Label32",
                                            "Label21",
                                            "Label34",
                                            "Label7"};
    EXPECT_EQ(elements(out), order);

    const std::string processed =
        crlfLines({"Kest log", "Fm ZZ9ZZ To CQ >[10:00:00]", "hello", "Fm EF2GH To CQ", "hi"});
    EXPECT_EQ(out.processedText, processed);
    EXPECT_EQ(captionOf(out, "totalLineProcessed"),
              "Total Bytes Processed =" + std::to_string(kestLog.size()));
    EXPECT_EQ(captionOf(out, "Label22"), "D T");
    EXPECT_EQ(captionOf(out, "Label24"), std::to_string(processed.size()) + " Bytes");
    EXPECT_EQ(captionOf(out, "Label14"), "5");
    EXPECT_EQ(captionOf(out, "Label8"), "0");
    EXPECT_EQ(captionOf(out, "Label12"), "7");
    EXPECT_EQ(captionOf(out, "Label16"), "2");
    EXPECT_EQ(captionOf(out, "Label18"), "1");
    EXPECT_EQ(captionOf(out, "Label4"), "3");
    EXPECT_EQ(captionOf(out, "Label26"), "10:00:00");
    EXPECT_EQ(captionOf(out, "Label28"), "10:10:00");
    EXPECT_EQ(captionOf(out, "Label30"), "<1");
    EXPECT_EQ(captionOf(out, "Label32"), "10 min");
    EXPECT_EQ(captionOf(out, "Label21"), "0 %");
    EXPECT_EQ(captionOf(out, "Label34"), "3");
    EXPECT_EQ(captionOf(out, "Label7"), "Processed Raw File and TX frames removed");

    EXPECT_EQ(out.heard, (std::vector<std::string>{"ZZ9ZZ", "AB1CD", "EF2GH"}));
    EXPECT_EQ(out.heardSorted, (std::vector<std::string>{"AB1CD", "EF2GH", "ZZ9ZZ"}));
    EXPECT_EQ(out.heardClipboard, "ZZ9ZZ,AB1CD,EF2GH,");
    EXPECT_EQ(control.passCaptions.back(), "Processing Data Line 7/8");
}

// The lines cut from bytes already read must give the same run as the file.
TEST(Run, BytesHandedOverGiveTheSameRun) {
    TempDir dir;
    const std::string content = kestLog + "x   \r\n\r\n\r\n1:Fm QQ1QQ To CQ\rtail\nend  ";
    RunInput input;
    input.currentFile = dir.write("log.txt", content);
    input.ownCall = "AB1CD";
    input.rawPane = [content] { return RawPane{content, 12}; };

    LineStore store;
    HeardStore heard;
    ScriptedControl fromFile;
    const auto a = runAnalysis(input, store, heard, fromFile);
    input.fileBytes = std::make_shared<const std::string>(content);
    ScriptedControl fromBytes;
    const auto b = runAnalysis(input, store, heard, fromBytes);

    ASSERT_EQ(a.end, RunOutcome::End::Concluded);
    ASSERT_EQ(b.end, RunOutcome::End::Concluded);
    EXPECT_EQ(a.lineCount, b.lineCount);
    EXPECT_EQ(a.processedText, b.processedText);
    EXPECT_EQ(a.captions, b.captions);
    EXPECT_EQ(a.heard, b.heard);
    EXPECT_EQ(fromFile.passCaptions, fromBytes.passCaptions);
    EXPECT_EQ(fromFile.preprocessCaptions, fromBytes.preprocessCaptions);
}

// A second run on the same stores shows nothing of the first.
TEST(Run, StoresReusedAcrossRuns) {
    TempDir dir;
    LineStore store;
    HeardStore heard;
    RunInput input;
    input.ownCall = "AB1CD";
    std::vector<std::string> big;
    for (int i = 0; i < 50; ++i)
        big.push_back("Fm C" + std::to_string(i) + " To CQ");
    const std::string first = crlfLines(big);
    input.currentFile = dir.write("big.txt", first);
    input.rawPane = [first] { return RawPane{first, 50}; };
    ScriptedControl c1;
    ASSERT_EQ(runAnalysis(input, store, heard, c1).end, RunOutcome::End::Concluded);

    const std::string second = crlfLines({"Kest", "Fm NEW1 To CQ"});
    input.currentFile = dir.write("small.txt", second);
    input.rawPane = [second] { return RawPane{second, 2}; };
    ScriptedControl c2;
    const auto out = runAnalysis(input, store, heard, c2);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, 2);
    EXPECT_EQ(out.processedText, second);
    EXPECT_EQ(out.heard, std::vector<std::string>{"NEW1"});
    EXPECT_EQ(captionOf(out, "Label4"), "1");
    EXPECT_EQ(captionOf(out, "Label16"), "1");
}

// A run that ends at the prompt or with a failure leaves the heard list of the
// run before.
TEST(Run, DeclinedOrFailedRunKeepsTheLastList) {
    TempDir dir;
    LineStore store;
    HeardStore heard;
    RunInput input;
    input.ownCall = "AB1CD";
    input.currentFile = dir.write("log.txt", kestLog);
    input.rawPane = [] { return RawPane{kestLog, 7}; };
    ScriptedControl ok;
    ASSERT_EQ(runAnalysis(input, store, heard, ok).end, RunOutcome::End::Concluded);
    const std::vector<std::string> before = heard.listed();
    ASSERT_EQ(before.size(), 3U);

    const std::string plain = crlfLines({"hello", "x", "y", "z", "w", "v", "Fm QQ1QQ To CQ"});
    input.currentFile = dir.write("plain.txt", plain);
    ScriptedControl no;
    no.answerPrompt = false;
    EXPECT_EQ(runAnalysis(input, store, heard, no).end, RunOutcome::End::Declined);
    EXPECT_EQ(heard.listed(), before);

    input.currentFile = dir.path("missing.txt");
    ScriptedControl yes;
    EXPECT_EQ(runAnalysis(input, store, heard, yes).end, RunOutcome::End::Failed);
    EXPECT_EQ(heard.listed(), before);
}

TEST(Run, LoneCrLineEndsBecomeCrLf) {
    TempDir dir;
    ScriptedControl control;
    const auto out =
        testsupport::runOver(dir, "cr.txt", "Kest\rFm EF2GH To CQ\rdata\nmore\r", "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, 3);
    EXPECT_EQ(out.processedText, "Kest\r\nFm EF2GH To CQ\r\ndata\nmore\r\n");
}

TEST(Run, HeardFiguresOfAFullStore) {
    TempDir dir;
    std::vector<std::string> lines = {"Kest"};
    for (int i = 0; i < 502; ++i)
        lines.push_back("Fm S" + std::to_string(i) + " To CQ");
    ScriptedControl control;
    const auto out = testsupport::runOver(dir, "many.txt", crlfLines(lines), "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(captionOf(out, "Label4"), "500");
    EXPECT_EQ(captionOf(out, "Label34"), "502");
    EXPECT_EQ(out.heard.size(), 502U);
    EXPECT_EQ(out.heardSorted.size(), 502U);
}

// ---- failures ----

TEST(RunFailure, MissingFile) {
    TempDir dir;
    ScriptedControl control;
    RunInput input;
    input.currentFile = dir.path("gone.txt");
    input.ownCall = "AB1CD";
    input.rawPane = [] { return RawPane{"", 0}; };
    LineStore store;
    HeardStore heard;
    const auto out = runAnalysis(input, store, heard, control);
    ASSERT_EQ(out.end, RunOutcome::End::Failed);
    ASSERT_TRUE(out.failure.has_value());
    const int code = out.failure->code;
    EXPECT_GT(code, 0);
    EXPECT_NE(code, 6);
    EXPECT_NE(code, 9);
    EXPECT_EQ(out.failure->message.text,
              "An error has occured when opening the file " + input.currentFile);
    EXPECT_EQ(out.failure->message.title, "Error nr: " + std::to_string(code));
    EXPECT_EQ(out.failure->message.icon, app::Icon::Exclamation);
    EXPECT_TRUE(control.passStartedCounts.empty());
    EXPECT_TRUE(out.captions.empty());
}

std::string numberedLines(int n) {
    std::string out;
    out.reserve(static_cast<std::size_t>(n) * 24);
    out += "Kest log\r\n";
    for (int i = 2; i <= n; ++i)
        out += (i % 2 ? "Fm ST" + std::to_string(i % 300) + " To CQ" : "2:data") + "\r\n";
    return out;
}

TEST(RunFailure, LineLimit) {
    TempDir dir;
    {
        ScriptedControl control;
        const auto out =
            testsupport::runOver(dir, "full.txt", numberedLines(65000), "AB1CD", control, 65000);
        ASSERT_EQ(out.end, RunOutcome::End::Concluded);
        EXPECT_EQ(captionOf(out, "Label12"), "65000");
        EXPECT_EQ(control.lastPreprocessCaption, "Pre-processing Data Line 65000");
        EXPECT_EQ(control.passCaptions.back(), "Processing Data Line 65000/65000");
        EXPECT_EQ(out.result.receivedHeaders, 32499);
    }
    {
        ScriptedControl control;
        const auto out =
            testsupport::runOver(dir, "over.txt", numberedLines(65001), "AB1CD", control, 65001);
        ASSERT_EQ(out.end, RunOutcome::End::Failed);
        EXPECT_EQ(out.lineCount, 65001);
        ASSERT_TRUE(out.failure.has_value());
        EXPECT_EQ(out.failure->code, 9);
        EXPECT_EQ(out.failure->message, failureMessage(9, dir.path("over.txt")));
        EXPECT_EQ(out.failure->message.title, "File length to large, err nr:9");
        // The first 65000 lines were pre-processed before the refusal.
        EXPECT_EQ(control.preprocessLines.size(), 65000U);
        EXPECT_EQ(control.lastPreprocessCaption, "Pre-processing Data Line 65000");
        EXPECT_TRUE(control.passStartedCounts.empty());
        EXPECT_TRUE(out.captions.empty());
    }
}

TEST(Run, OwnDigipeatedCountStopsAt32767) {
    TempDir dir;
    std::string content;
    for (int i = 0; i < 33000; ++i)
        content += "Fm AB1CD To CQ Via DIGI*\r\n";
    ScriptedControl control;
    const auto out = testsupport::runOver(dir, "digi.txt", content, "AB1CD", control);
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_FALSE(out.failure.has_value());
    EXPECT_EQ(out.result.ownDigipeated, 32767);
    EXPECT_EQ(out.result.receivedHeaders, 33000);
    EXPECT_EQ(captionOf(out, "Label8"), "32767");
    EXPECT_EQ(captionOf(out, "Label14"), std::to_string(33000 + 32767));
    EXPECT_EQ(captionOf(out, "Label21"), "none digipeated or TX frames absent");
}

// ---- rich-text sources ----

// Runs in a folder of its own, since the temporary file goes to the current one.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& dir)
        : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~CurrentFolder() { std::filesystem::current_path(saved_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path saved_;
};

TEST(RunRtf, PlainTextOfThePaneIsAnalysedWithoutAPrompt) {
    TempDir dir;
    TempDir work;
    CurrentFolder here(work.dir());
    ScriptedControl control;
    control.answerPrompt = false;
    const std::string plain = "hello\r\nFm AB1CD To CQ\r\ngone\r\nFm EF2GH To CQ\r\nhi";
    RunInput input;
    input.currentFile = dir.write("pass.rtf", "{\\rtf1\\ansi hello\\par }");
    input.isRtf = true;
    input.ownCall = "AB1CD";
    input.rawPane = [plain] { return RawPane{plain, 5}; };
    LineStore store;
    HeardStore heard;
    const auto out = runAnalysis(input, store, heard, control);

    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_TRUE(control.prompts.empty());
    EXPECT_EQ(control.intakePaths, std::vector<std::string>{input.currentFile});
    EXPECT_EQ(testsupport::readBytes((work.dir() / "rtftemp.tmp").string()), plain + "\r\n");
    EXPECT_EQ(out.currentFile, dir.path("pass.txt"));
    EXPECT_EQ(out.lineCount, 5);
    EXPECT_EQ(out.processedText, crlfLines({"hello", "Fm EF2GH To CQ", "hi"}));
    EXPECT_EQ(out.heard, (std::vector<std::string>{"AB1CD", "EF2GH"}));
    EXPECT_TRUE(out.bringWindowToFront);
    EXPECT_EQ(captionOf(out, "totalLineProcessed"),
              "Total Bytes Processed =" + std::to_string(plain.size()));
}

} // namespace
} // namespace tallix::analysis
