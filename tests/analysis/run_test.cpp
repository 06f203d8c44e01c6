#include "analysis/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>

#include "files/raw_text.h"
#include "scripted_run.h"
#include "temp_dir.h"
#include "text_lines.h"

namespace tallix::analysis {
namespace {

using testsupport::bars;
using testsupport::crlfLines;
using testsupport::ScriptedControl;

const std::string kestLog = crlfLines(bars("Kest log|Fm ZZ9ZZ To CQ >[10:00:00]|hello|"
                                           "Fm AB1CD To CQ >[10:10:00]|gone|Fm EF2GH To CQ|hi"));

// The window's stores, which outlive a run, and the input of the next run.
class RunTest : public testing::Test {
protected:
    RunTest() { input.ownCall = "AB1CD"; }
    RunOutcome run(ScriptedControl& control) { return runAnalysis(input, store, heard, control); }
    RunOutcome run(const std::string& content, ScriptedControl& control,
                   const char* name = "log.txt") {
        input.currentFile = dir.write(name, content);
        return run(control);
    }

    testsupport::TempDir dir;
    LineStore store;
    HeardStore heard;
    RunInput input;
};

TEST_F(RunTest, FiguresOfASmallLog) {
    // The raw pane, not the file, gives the byte figure and the line figure.
    input.rawPane = [] { return RawPane{kestLog + "pane", 8}; };
    input.dateFormat.shortDate = [](const files::LocalDateTime&) { return std::string(" D"); };
    input.dateFormat.longTime = [](const files::LocalDateTime&) { return std::string("T  "); };
    ScriptedControl control;
    const auto out = run(kestLog, control);
    EXPECT_EQ(out.figures.totalBytesProcessed,
              "Total Bytes Processed =" + std::to_string(kestLog.size() + 4));
    EXPECT_EQ(out.figures.fileDate, "D T");
    EXPECT_EQ(control.passCaptions.back(), "Processing Data Line 7/8");
}

// A run that ends at the prompt (asked only about a file not recognised) or
// with a failure leaves the heard list as it was; the next full run shows
// nothing of the runs before.
TEST_F(RunTest, StoresOutliveTheRun) {
    ScriptedControl first, no, failed, last, empty;
    run(kestLog, first);
    const auto before = heard.listed();

    no.answerPrompt = false;
    EXPECT_EQ(run("hello\r\nx\r\n", no).end, RunOutcome::End::Declined);
    EXPECT_EQ(no.prompts, std::vector{unrecognisedFilePrompt()});
    EXPECT_TRUE(first.prompts.empty() && no.intakePaths.empty());
    input.currentFile = dir.path("gone.txt");
    const auto out = run(failed);
    ASSERT_EQ(out.end, RunOutcome::End::Failed);
    EXPECT_EQ(heard.listed(), before);

    EXPECT_EQ(run("Kest\r\nFm NEW1 To CQ\r\n", last).processedText, "Kest\r\nFm NEW1 To CQ\r\n");
    EXPECT_EQ(heard.listed(), bars("NEW1"));
    // An empty file is asked about too, and taken in when allowed.
    EXPECT_EQ(run("", empty).end, RunOutcome::End::Concluded);
    EXPECT_EQ(empty.prompts.size(), 1U);
}

// Every stored line is pre-processed, even when the file is then refused.
TEST_F(RunTest, OverTheLineLimit) {
    std::string content = "Kest\r\n";
    for (int i = 1; i <= MaxLines; ++i)
        content += "data\r\n";
    ScriptedControl control;
    const auto out = run(content, control);
    ASSERT_EQ(control.preprocessCaptions.size(), 65000U);
    EXPECT_EQ(control.preprocessCaptions.back(), "Pre-processing Data Line 65000");
    EXPECT_EQ(out.lineCount, 65001);
    ASSERT_EQ(out.end, RunOutcome::End::Failed);
    EXPECT_EQ(out.failure->message, failureMessage(9, input.currentFile));
    EXPECT_TRUE(control.passStartedCounts.empty());
}

TEST_F(RunTest, OwnDigipeatedCountStopsAt32767) {
    std::string content;
    for (int i = 0; i < 33000; ++i)
        content += "Fm AB1CD To CQ Via DIGI*\r\n";
    ScriptedControl control;
    const auto out = run(content, control);
    EXPECT_EQ(out.result.ownDigipeated, 32767);
    EXPECT_EQ(out.figures.totalLines, std::to_string(33000 + 32767));
}

// Everything an outcome reports, as one text to compare.
std::string described(const RunOutcome& out) {
    std::ostringstream d;
    d << std::fixed;
    const auto put = [&d](const auto&... value) { ((d << value << ' '), ...); };
    const AnalysisResult& r = out.result;
    put(static_cast<int>(out.end), out.lineCount, out.failure ? out.failure->code : 0,
        out.previewLineCount, out.processedIsRawCopy, r.lineCount, r.rawBytes, r.receivedHeaders,
        r.transmittedFrames, r.ownDigipeated, r.keptLines, r.firstPacketTime, r.lastPacketTime,
        r.heardCount, r.processedBytes);
    for (const FigurePlace& place : FigureTable)
        put(place.element, out.figures.*place.figure);
    for (const auto& call : out.heardSorted)
        put(call);
    for (const auto& st : out.stations)
        put(st.call, st.frames, st.viaDigipeater, st.firstHeard(), st.lastHeard());
    for (const auto& m : out.activity.minutes)
        put(m.received, m.transmitted, m.digipeated);
    return d.str();
}

// A rich-text source is analysed from the pane's text, without the prompt its
// file would get, under the name of its ".txt" twin; plain contents under such
// a name too. The pane's text goes through a temporary file in the current
// folder; where the caller does not hold the pane's text (too large to show) it
// is read from the file again, also where the temporary file cannot be written.
TEST_F(RunTest, RichTextSourceIsAnalysedFromItsText) {
    const std::string plain = kestLog + "Fm CD3EF To CQ\r\n"; // the break adds an empty line
    const std::string rich = "{\\rtf1\\ansi Kest log\\par Fm ZZ9ZZ To CQ >[10:00:00]\\par "
                             "hello\\par Fm AB1CD To CQ >[10:10:00]\\par gone\\par}";
    input.isRtf = true;
    for (const auto& [isRich, held] : {std::pair{false, true}, {false, false}, {true, false}}) {
        const std::string& content = isRich ? rich : plain;
        const std::string pane = isRich ? files::readRtf(rich).plainText() : plain;
        SCOPED_TRACE(std::string(isRich ? "rich" : "plain") + (held ? ", held" : ", read again"));
        testsupport::TempDir work;
        testsupport::CurrentFolder here(work.dir());
        input.rawPane = nullptr;
        if (isRich) // the temporary file cannot be written
            std::filesystem::create_directory(work.path("rtftemp.tmp"));
        if (held)
            input.rawPane = [&] { return RawPane{pane, files::previewLineCount(pane)}; };
        ScriptedControl control;
        control.removal = false; // the raw pane is copied as the processed text
        control.answerPrompt = false;
        const auto out = run(content, control, "pass.rtf");
        ASSERT_EQ(out.end, RunOutcome::End::Concluded);
        EXPECT_TRUE(control.prompts.empty() && out.bringWindowToFront);
        EXPECT_EQ(control.intakePaths, std::vector{input.currentFile});
        EXPECT_EQ(out.currentFile, dir.path("pass.txt"));
        EXPECT_EQ(out.processedText, pane);
        if (!isRich) {
            EXPECT_EQ(testsupport::readBytes(work.path("rtftemp.tmp")), pane + "\r\n");
        }
    }
}

// Rich contents under a name without ".rtf": the lines are the file's own,
// the raw pane (its size, its copy with the option off) is the plain text.
TEST_F(RunTest, RichContentsUnderAnotherNameHaveTheirPlainTextAsThePane) {
    const std::string rich = "{\\rtf1\\ansi Kest log\\par {\\b Fm ZZ9ZZ} To CQ\\par}";
    ScriptedControl control;
    control.removal = false;
    const auto out = run(rich, control, "notes.log");
    ASSERT_EQ(out.end, RunOutcome::End::Concluded);
    EXPECT_EQ(out.lineCount, 1);
    EXPECT_EQ(out.processedText, "Kest log\r\nFm ZZ9ZZ To CQ\r\n");
    EXPECT_EQ(out.result.rawBytes, 26.0f);
}

// A terminal's control: nobody watches.
struct Unwatched : ScriptedControl {
    bool showsProgress() override { return false; }
};

// A run nobody watches is made while the file is read, without storing it:
// the same outcome as the window's run over the same file, in every case.
TEST_F(RunTest, AnUnwatchedRunReadingAsItGoesReportsTheSame) {
    std::string atReadEnd(256 * 1024 - 1, 'x'); // a CR LF cut between two reads
    atReadEnd = "Kest\r\n" + atReadEnd.substr(6) + "\r\nFm AB1CD To CQ\r\ndata\r\n";
    std::string overLimit;
    for (int i = 0; i <= MaxLines; ++i)
        overLimit += "Fm ZZ9ZZ To CQ\r\n";
    const std::tuple<const char*, std::string, bool> rows[] = {
        {"kept TX frames", kestLog, false},
        {"prefixes, trailing blanks, bare LF, no last line end",
         "Kest\r\n1:Fm AB1CD To CQ*  \r\n  \r\n\r\n\r\nx\ny\r0:Fm EF2GH To Q >[23:59:59]\r\nend",
         true},
        {"line end cut between reads", atReadEnd, true},
        {"rich text contents", "{\\rtf1 Kest\\par Fm AB1CD To CQ\\par}", true},
        {"over the line limit", overLimit, true},
    };
    input.stationStatistics = true;
    input.keepProcessedText = false;
    for (const auto& [name, content, removal] : rows) {
        SCOPED_TRACE(name);
        input.currentFile = dir.write("log.txt", content);
        for (const bool figure : {true, false}) {
            input.previewLineFigure = figure;
            ScriptedControl watched;
            Unwatched unwatched;
            watched.removal = unwatched.removal = removal;
            const std::string expected = described(run(watched));
            LineStore otherStore;
            HeardStore otherHeard;
            EXPECT_EQ(described(runAnalysis(input, otherStore, otherHeard, unwatched)), expected);
            EXPECT_TRUE(unwatched.passCaptions.empty() && unwatched.preprocessCaptions.empty());
            // Read as it went: nothing stored (rich-text contents go the ordinary way).
            if (!content.starts_with("{\\rtf")) {
                EXPECT_EQ(otherStore.count(), 0);
            }
        }
    }
}

} // namespace
} // namespace tallix::analysis
