// Hostile file contents through the whole analysis run and the raw preview:
// binary bytes, NUL bytes, a 10 MB line, 8-bit calls and texts, files of only
// CRs or only LFs, and a file over the line limit. Each gives its exact result,
// and the file is left byte for byte as it was.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "files/file_facts.h"
#include "files/raw_text.h"
#include "hostile/hostile_support.h"

namespace tallix::analysis {
namespace {

using testsupport::bytesOf;
using testsupport::captionOf;
using testsupport::crlfLines;
using testsupport::ScriptedControl;
using testsupport::TempDir;

constexpr std::size_t TenMegabytes = 10u << 20;

struct ContentRow {
    const char* name = "";
    std::string (*content)() = nullptr;
    std::string ownCall = "PA3XYZ";
    bool recognised = true; // no prompt before the run
    RunOutcome::End end = RunOutcome::End::Concluded;
    int failureCode = 0;
    std::int32_t lineCount = 0;
    // The processed text with "Remove Your TX Frames" ticked, from the content.
    std::string (*processed)(const std::string&) = nullptr;
    std::int32_t received = 0;
    std::int32_t transmitted = 0;
    std::int16_t ownDigipeated = 0;
    std::vector<std::string> heard;
    std::string firstTime;
    std::string sizeCaption; // Label24, when the row gives it
};

std::string everyByte64Times() {
    std::string s;
    for (int round = 0; round < 64; ++round)
        for (int b = 0; b < 256; ++b)
            s += static_cast<char>(b);
    return s;
}

// Every CR ends a line (none is followed by an LF), and the last line, which
// has no line end, gets one.
std::string crBecomesCrLf(const std::string& content) {
    std::string out;
    for (const char c : content) {
        out += c;
        if (c == '\r')
            out += '\n';
    }
    return out + "\r\n";
}

std::string sameText(const std::string& content) {
    return content;
}

const std::string ownCall8 = "P\xC4"
                             "3XYZ";

const std::vector<std::string> eightBitLines = {
    "Kest \xE9t\xE9",
    "Fm " + ownCall8 + " To CQ >[10:00:00]", // own frame as sent: dropped
    "\x80\x81\xFF secret",                   // with its data line
    "Fm " + ownCall8 + " To CQ Via ON0DIG* >[10:01:00]",
    "digi \xA0\xFF",
    "Fm \xC9\xE9"
    "1AB To CQ >[10:02:00]",
    "\xE0 bient\xF4t",
    "Fm p\xE4"
    "3xyz To CQ", // the own call in other letter case is another station
    "x",
};

// A row: its name and content, and the fields in which it differs from a
// recognised file that concludes.
template <class Set> ContentRow row(const char* name, std::string (*content)(), Set&& set) {
    ContentRow r;
    r.name = name;
    r.content = content;
    set(r);
    return r;
}

const std::vector<ContentRow> contentRows = {
    row("every byte value 64 times", everyByte64Times,
        [](ContentRow& r) {
            r.recognised = false;
            r.lineCount = 65;
            r.processed = crBecomesCrLf;
        }),
    row(
        "NUL bytes in a header and a text line",
        [] { return bytesOf("Kest\0log\r\nFm ON4AB\0 To CQ >[10:00:00]\r\n\0\0\0\r\n"); },
        [](ContentRow& r) {
            r.lineCount = 3;
            r.processed = sameText;
            r.received = 1;
            r.heard = {std::string("ON4AB\0", 6)};
            r.firstTime = "10:00:00";
        }),
    row(
        "a 10 MB line with trailing blanks",
        [] { return "Kest\r\n" + std::string(TenMegabytes, 'x') + "   \r\n"; },
        [](ContentRow& r) {
            r.lineCount = 2;
            r.processed = [](const std::string&) {
                return "Kest\r\n" + std::string(TenMegabytes, 'x') + "\r\n";
            };
            r.sizeCaption = "10485 kB"; // 6 + 10485760 + 2 characters, divided by 1000
        }),
    row(
        "8-bit own call, calls and texts", [] { return crlfLines(eightBitLines); },
        [](ContentRow& r) {
            r.ownCall = ownCall8;
            r.lineCount = 9;
            r.processed = [](const std::string&) {
                const auto& l = eightBitLines;
                return crlfLines({l[0], l[3], l[4], l[5], l[6], l[7], l[8]});
            };
            r.received = 3;
            r.transmitted = 1;
            r.ownDigipeated = 1;
            r.heard = {ownCall8,
                       "\xC9\xE9"
                       "1AB",
                       "p\xE4"
                       "3xyz"};
            r.firstTime = "10:00:00";
        }),
    row(
        "only CRs", [] { return std::string(5000, '\r'); },
        [](ContentRow& r) {
            r.recognised = false;
            r.lineCount = 5000;
            // Runs of empty lines are cut to one.
            r.processed = [](const std::string&) { return std::string("\r\n"); };
        }),
    row(
        "only LFs", [] { return std::string(5000, '\n'); },
        [](ContentRow& r) {
            r.recognised = false;
            r.lineCount = 1; // a lone LF does not end a line
            r.processed = [](const std::string& c) { return c + "\r\n"; };
        }),
    row(
        "LF CR instead of CR LF", [] { return std::string("\n\r\n\r\n\r"); },
        [](ContentRow& r) {
            r.recognised = false;
            r.lineCount = 3; // "\n", "" and ""
            r.processed = [](const std::string&) { return std::string("\n\r\n\r\n"); };
        }),
    row(
        "65001 lines of only CRs", [] { return std::string(65001, '\r'); },
        [](ContentRow& r) {
            r.recognised = false;
            r.end = RunOutcome::End::Failed;
            r.failureCode = FailureLineLimit;
            r.lineCount = 65001;
        }),
};

class HostileContentTest : public testing::TestWithParam<ContentRow> {};

TEST_P(HostileContentTest, RunGivesExactResultAndLeavesFileAlone) {
    const ContentRow& row = GetParam();
    TempDir dir;
    const std::string content = row.content();
    const std::string path = dir.write("hostile.log", content);
    const auto before = testsupport::snapshot(dir.dir());

    // The preview: the bytes exactly as they are, and the file's size.
    const files::RawText raw = files::loadRawText(path);
    ASSERT_TRUE(raw.loaded) << raw.errorNumber;
    EXPECT_FALSE(raw.richText);
    EXPECT_TRUE(raw.text == content);
    const files::FileFactsResult facts = files::readFileFacts(path);
    ASSERT_TRUE(facts.facts.has_value());
    EXPECT_EQ(facts.facts->size, content.size());

    // The run as the window makes it, TX frames removed, the file read from disk.
    ScriptedControl control;
    const RunOutcome out = testsupport::runOver(dir, "hostile.log", content, row.ownCall, control);
    EXPECT_EQ(control.prompts.size(), row.recognised ? 0U : 1U);
    EXPECT_EQ(out.end, row.end);
    EXPECT_EQ(out.lineCount, row.lineCount);
    if (row.end == RunOutcome::End::Failed) {
        ASSERT_TRUE(out.failure.has_value());
        EXPECT_EQ(out.failure->code, row.failureCode);
        EXPECT_EQ(out.failure->message, failureMessage(row.failureCode, path));
        EXPECT_TRUE(out.captions.empty());
    } else {
        EXPECT_FALSE(out.failure.has_value());
        EXPECT_TRUE(out.processedText == row.processed(content))
            << "processed text of " << out.processedText.size() << " bytes";
        EXPECT_EQ(out.result.processedBytes, static_cast<std::int32_t>(out.processedText.size()));
        EXPECT_EQ(out.result.receivedHeaders, row.received);
        EXPECT_EQ(out.result.transmittedFrames, row.transmitted);
        EXPECT_EQ(out.result.ownDigipeated, row.ownDigipeated);
        EXPECT_EQ(out.heard, row.heard);
        EXPECT_EQ(out.result.firstPacketTime, row.firstTime);
        EXPECT_EQ(captionOf(out, "Label12"), std::to_string(row.lineCount));
        if (!row.sizeCaption.empty()) {
            EXPECT_EQ(captionOf(out, "Label24"), row.sizeCaption);
        }
    }

    // The same file from bytes already read, TX frames kept: the processed
    // text is the raw text, exactly.
    RunInput input;
    input.currentFile = path;
    input.ownCall = row.ownCall;
    input.fileBytes = std::make_shared<const std::string>(content);
    ScriptedControl keep;
    keep.removal = false;
    LineStore store;
    HeardStore heard;
    const RunOutcome copy = runAnalysis(input, store, heard, keep);
    EXPECT_EQ(copy.end, row.end);
    EXPECT_EQ(copy.lineCount, row.lineCount);
    if (row.end == RunOutcome::End::Concluded) {
        EXPECT_TRUE(copy.processedIsRawCopy);
        EXPECT_TRUE(copy.processedText == content);
        EXPECT_EQ(copy.heard, out.heard);
    }

    EXPECT_TRUE(testsupport::snapshot(dir.dir()) == before) << "the input file was changed";
}

INSTANTIATE_TEST_SUITE_P(Rows, HostileContentTest, testing::ValuesIn(contentRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix::analysis
