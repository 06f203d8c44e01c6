// A plain log wrapped in rich text gives the same figures as the plain log:
// its text is ASCII, which every code page keeps, so nothing of it may change
// on the way.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "analysis/run.h"
#include "files/raw_text.h"
#include "row_name.h"
#include "scripted_run.h"
#include "temp_dir.h"
#include "text/code_page.h"
#include "text_lines.h"

namespace tallix::files {
namespace {

const std::string plainLog = testsupport::crlfLines(testsupport::bars(
    "Kest log 1.4 {station} C:\\kest|Fm ZZ9ZZ To CQ Via DB0ABC >[10:00:00]|hello {all}|"
    "1:Fm AB1CD To CQ >[10:10:00]|gone|Fm AB1CD To ZZ9ZZ Via DB0ABC* >[10:11:30]|ack|"
    "Fm EF2GH To AB1CD <I C S0 R0>|hi  \\ there|Fm QQ1QQ-12 To CQ >[10:20:05]|bye"));

struct CodePageRow : testsupport::NamedRow {
    int codePage;
    std::string header; // what sets the code page
};

// ASCII takes the same way through every code page but Windows-1252's: one
// row for each way, a double-byte page, and the font table naming Johab, the
// one system converter that would not keep ASCII by itself.
const CodePageRow codePageRows[] = {
    {"ansicpg1252", 1252, R"(\ansi\ansicpg1252)"},
    {"ansicpg1251", 1251, R"(\ansi\ansicpg1251)"},
    {"ansicpg932", 932, R"(\ansi\ansicpg932)"},
    {"fcharset130", 1361, R"(\ansi\deff0{\fonttbl{\f0\fcharset130 M;}})"},
};

TEST(RtfCodePages, TheSystemConvertsEveryCodePageADocumentCanName) {
    for (const int codePage : {1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258, 874, 932, 936, 949,
                               950, 10000, 437, 850, 1361})
        EXPECT_TRUE(text::CodePageDecoder::converts(codePage)) << codePage;
}

// The log as a writer of rich text puts it: a mark between lines, the
// specials escaped, and the header punctuation as hex bytes.
std::string wrapped(const std::string& header, const std::string& text) {
    // A space ends a control word; after a group it would be text.
    std::string rtf = "{\\rtf1" + header + (header.ends_with('}') ? "" : " ");
    const std::string_view body(text.data(), text.size() - 2); // no mark after the last line
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (body.substr(i, 2) == "\r\n") {
            rtf += "\\par\r\n";
            ++i;
        } else if (c == '\\' || c == '{' || c == '}') {
            rtf += std::string("\\") + c;
        } else if (c == '>' || c == '[' || c == ':' || c == '*') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", static_cast<unsigned char>(c));
            rtf += hex;
        } else {
            rtf += c;
        }
    }
    return rtf + "}";
}

std::string figures(const analysis::RunOutcome& out) {
    const analysis::AnalysisResult& r = out.result;
    std::ostringstream s;
    s << "lines " << out.lineCount << " rx " << r.receivedHeaders << " tx " << r.transmittedFrames
      << " digi " << r.ownDigipeated << " kept " << r.keptLines << " first " << r.firstPacketTime
      << " last " << r.lastPacketTime << " heard " << r.heardCount << "/" << r.heardListed
      << " per minute " << r.rxPerMinute << " efficiency " << r.efficiency << " processed "
      << r.processedBytes << " list";
    for (const auto& call : out.heard)
        s << " " << call;
    return s.str();
}

analysis::RunOutcome analyse(const std::string& path, bool isRtf, const std::string& pane) {
    analysis::RunInput input;
    input.currentFile = path;
    input.isRtf = isRtf;
    input.writeRtfTempFile = false;
    input.ownCall = "AB1CD";
    input.rawPane = [pane] { return analysis::RawPane{pane, previewLineCount(pane)}; };
    testsupport::ScriptedControl control;
    return testsupport::runFresh(input, control);
}

class RtfRoundTrip : public testing::TestWithParam<CodePageRow> {};

TEST_P(RtfRoundTrip, GivesThePlainLogsFigures) {
    ASSERT_TRUE(text::CodePageDecoder::converts(GetParam().codePage))
        << "the system cannot convert code page " << GetParam().codePage;
    testsupport::TempDir dir;
    const analysis::RunOutcome plain = analyse(dir.write("log.txt", plainLog), false, plainLog);
    ASSERT_EQ(plain.end, analysis::RunOutcome::End::Concluded);
    ASSERT_EQ(plain.result.receivedHeaders, 4); // the log is the one meant

    const RawText raw = loadRawText(dir.write("log.rtf", wrapped(GetParam().header, plainLog)));
    ASSERT_TRUE(raw.richText);
    EXPECT_EQ(raw.text + "\r\n", plainLog);
    const analysis::RunOutcome rich = analyse(dir.path("log.rtf"), true, raw.text);
    ASSERT_EQ(rich.end, analysis::RunOutcome::End::Concluded);
    EXPECT_EQ(figures(rich), figures(plain));
    EXPECT_EQ(rich.processedText, plain.processedText);
}

INSTANTIATE_TEST_SUITE_P(Rows, RtfRoundTrip, testing::ValuesIn(codePageRows),
                         testsupport::RowName());

} // namespace
} // namespace tallix::files
