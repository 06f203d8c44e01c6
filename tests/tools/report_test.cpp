// tallix-report: its arguments, its JSON texts, and the program's output,
// exit status and files.

#include "report/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "report/json_output.h"
#include "run_process.h"

namespace tallix::report {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testsupport::readBytes;
using testsupport::runReport;
using testsupport::TempDir;

// The options as one line: FILE [CALL] >PROCESSED-OUT and the rest.
std::string read(const Options& o) {
    return o.file + (o.call ? " [" + *o.call + "]" : "") +
           (o.processedOut ? " >" + *o.processedOut : "") + (o.chart ? " chart " + *o.chart : "") +
           (o.sort.empty() ? "" : " sort " + o.sort) + (o.keepTx ? " keep-tx" : "") +
           (o.json ? " json" : "") + (o.stations ? " stations" : "") + (o.csv ? " csv" : "") +
           (o.paths ? " paths" : "") + (o.graph ? " graph " + *o.graph : "");
}

TEST(ParseArguments, ReadsTheOptionsOrNamesTheMistake) {
    using Args = std::vector<std::string>;
    for (const auto& [args, expected] : std::vector<std::pair<Args, std::string>>{
             {{"--call", " --json ", "l", "--keep-tx", "--processed-out=o", "--json"},
              "l [ --json ] >o keep-tx json"},
             {{"l", "--stations", "--sort", "first", "--csv", "--chart=y.PNG"},
              "l chart y.PNG sort first stations csv"},
             {{"--json"}, "no FILE given"},
             {{"a", "b"}, "more than one FILE given: 'a' and 'b'"},
             {{"--cal", "X", "a"}, "unknown option '--cal'"},
             {{"a", "--call"}, "option '--call' needs an argument"},
             {{"--processed-out=", "a"}, "'--processed-out' needs a file"},
             {{"--json=yes", "a"}, "option '--json' takes no argument"},
             {{"--csv", "l"}, "option '--csv' goes with '--stations'"},
             {{"--stations", "--sort", "name", "l"},
              "takes last, first, call or count, not 'name'"},
             {{"--chart", "svg", "l"}, "ending in .svg or .png"},
             {{"--stations", "--csv", "--json", "l"}, "do not go together"},
             {{"--graph", "g.txt", "l"}, "ending in .dot, .svg or .png"},
             {{"--stations", "--paths", "--csv", "l"}, "goes with one of"}}) {
        const ParsedArguments p = parseArguments(args);
        const bool named = p.error.find(expected) != std::string::npos;
        EXPECT_EQ(p.error.empty() ? read(p.options) : named ? expected : p.error, expected);
    }
}

// Control characters escaped as \u00XX (the short forms too), whole figures as
// integers, a backslash before a letter left alone; 8-bit text as UTF-8 and the
// members in their order are in the report's JSON below.
TEST(JsonTexts, EscapedInUtf8AndFiguresAsJsonHasThem) {
    struct Row {
        const char* name;
        Json value;
        std::string line;
    };
    const Row rows[] = {
        {"controls", jsonText("a\0\b\t\n\f\r\x1F\x7F"s),
         "\"a\\u0000\\u0008\\u0009\\u000a\\u000c\\u000d\\u001f\x7F\""},
        {"quote and backslashes", jsonText("\"\\n\\\\r"), "\"\\\"\\\\n\\\\\\\\r\""},
        {"whole float", jsonFigure(static_cast<double>(16777216.0f)), "16777216"},
        {"not a number", jsonFigure(std::numeric_limits<double>::quiet_NaN()), "null"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(jsonLine(row.value), row.line) << row.name;
    EXPECT_EQ(std::strtod(jsonLine(jsonFigure(0.1)).c_str(), nullptr), 0.1);
}

// Own call AB1CD: a transmitted frame and its data line, a digipeated frame
// and a direct one with an 8-bit call.
const std::string SampleLog = "Fm AB1CD To CQ Via DIGI >[10:00:00]\r\nhello\r\n"
                              "Fm EF2GH To CQ Via DIGI* >[10:01:00]\r\nhi\r\n"
                              "Fm F\xE9LIX To CQ >[10:02:00]\r\n";
const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\n";

TEST(ReportProgram, FiguresAsTextAndJsonAndTheProcessedTextWritten) {
    TempDir dir;
    fs::create_directories(dir.dir() / "Kest/Logs");
    dir.write("Kest/kest.INI", Settings + "AB1CD\r\n");
    const std::string log = dir.write("Kest/Logs/s.txt", SampleLog);
    // The own call from the kest.ini in the parent folder.
    const auto text = runReport(dir, {log});
    EXPECT_EQ(text.err, "");
    EXPECT_TRUE(text.out.starts_with("Your Call: AB1CD\nFile created: ")) << text.out;
    EXPECT_TRUE(text.out.ends_with(
        "\nFile size: 70 Bytes\nTotal lines: 3\nTotal of your digi's: 0\n"
        "Total transmitted frames: 1\nTotal received headers: 2\nTotal Digipeated Stations: 3\n"
        "First packet logged: 10:00:00\nLast packet logged: 10:02:00\nTotal log time: 2 min\n"
        "RX Average Frames/Minute: 1\nEfficiency: 0 %\n\nTotal lines: 5\n"
        "Processed Raw File and TX frames removed\nTotal Bytes Processed =114\n"
        "Heard Stations 3\nAB1CD\nEF2GH\nF\xC3\xA9LIX\n"))
        << text.out;
    // A kest.ini beside the file comes first, its line read as it stands.
    dir.write("Kest/Logs/Kest.ini", Settings + " ab1cd \r\nline5\r\n");
    EXPECT_EQ(lookUpOwnCall(dir.path("Kest/Logs/x.txt")).call.value_or("-"), " ab1cd ");

    const auto r =
        runReport(dir, {"--json", "--call", "AB1CD", "--processed-out", dir.path("p.txt"), log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"file_kind\":1,\"failure\":null,\"line_count\":5,\"raw_bytes\":114,"
        "\"received_headers\":2,\"transmitted_frames\":1,\"own_digipeated\":0,\"kept_lines\":3,"
        "\"first_packet_time\":\"10:00:00\",\"last_packet_time\":\"10:02:00\",\"heard_count\":3,"
        "\"heard_listed\":3,\"heard\":[\"AB1CD\",\"EF2GH\",\"F\xC3\xA9LIX\"],\"heard_sorted\":"
        "[\"AB1CD\",\"EF2GH\",\"F\xC3\xA9LIX\"],\"heard_clipboard\":\"AB1CD,EF2GH,F\xC3\xA9LIX,\","
        "\"processed_bytes\":70,\"log_seconds\":120,\"rx_per_minute\":1,\"preview_line_count\":4,"
        "\"captions\":{\"totalLineProcessed\":\"Total Bytes Processed =114\",\"Label24\":"
        "\"70 Bytes\",\"Label14\":\"3\",\"Label8\":\"0\",\"Label12\":\"5\",\"Label16\":\"2\","
        "\"Label18\":\"1\",\"Label4\":\"3\",\"Label26\":\"10:00:00\",\"Label28\":\"10:02:00\","
        "\"Label30\":\"1\",\"Label32\":\"2 min\",\"Label21\":\"0 %\",\"Label34\":\"3\","
        "\"Label7\":\"Processed Raw File and TX frames removed\"}}\n");
    EXPECT_EQ(readBytes(dir.path("p.txt")), SampleLog.substr(SampleLog.find("Fm EF2GH")));
}

// A rich-text log is read without asking and leaves no temporary file behind;
// with --keep-tx the own frame without a digipeat marker stays.
TEST(ReportProgram, RichTextIsReadWithoutAskingAndKeepTxKeepsOwnFrames) {
    TempDir dir;
    const std::string rtf = dir.write("p.rtf", "{\\rtf1\\ansi Fm AB1CD To CQ\\par hi\\par}");
    const auto r =
        runReport(dir, {"--keep-tx", "--call", "AB1CD", "--processed-out", dir.path("p.txt"), rtf});
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(readBytes(dir.path("p.txt")).starts_with("Fm AB1CD To CQ\r\nhi"));
    EXPECT_FALSE(fs::exists("rtftemp.tmp"));
}

TEST(ReportProgram, ExitStatusOutputAndMessages) {
    struct Row {
        const char* name;
        std::string args; // split at blanks; "@name": that file in the scratch folder
        int status;
        std::string out, err; // out: "start" or "start...end", err: a part; "" for none at all
    };
    TempDir dir;
    for (const char* folder : {"", "Short/", "Bare/"}) {
        fs::create_directories(dir.path(folder));
        dir.write(folder + "s.txt"s, SampleLog);
    }
    dir.write("Short/kest.ini", Settings);
    dir.write("notes.txt", "hello\r\n");
    dir.write("big.txt", "Kest log" + std::string(65000, '\r') + "x");
    for (const Row& row : std::vector<Row>{
             {"usage", "--bogus x", 2, "", "tallix-report: unknown option '--bogus'\nUsage: "},
             {"version", "--version a b", 0, "tallix-report "s + TALLIX_VERSION + "\n", ""},
             {"help stops the parsing", "--help --bogus", 0, "Usage: tallix-report", ""},
             {"unwritable processed text", "--call A --processed-out @no/p @s.txt", 1,
              "Your Call: A\n", "cannot write the processed text to " + dir.path("no/p")},
             {"kest.ini without a call", "@Short/s.txt", 0, "Your Call:\n",
              "Short/kest.ini has no call sign (line 4); using an empty call\n"},
             {"no kest.ini", "@Bare/s.txt", 0, "Your Call:\n",
              "no kest.ini found in the file's folder or its parent"},
             {"unrecognised file", "--json --call A @notes.txt", 0,
              "{\"file_kind\":0,\"failure\":null,\"line_count\":1,",
              "notes.txt: The file seems not to be a Kest report or Kest log file. Processed "
              "anyway."},
             {"too long: the failure and the line count only",
              "--json --call A --processed-out @p.txt @big.txt", 1,
              "{\"failure\":{\"code\":9,\"title\":\"File length to large, err nr:9\",\"message\":"
              "\"Length of the file ...\"},\"line_count\":65001}\n",
              "File length to large, err nr:9\nLength of the file "}}) {
        SCOPED_TRACE(row.name);
        std::vector<std::string> args;
        std::istringstream words(row.args);
        for (std::string a; words >> a;)
            args.push_back(a.starts_with('@') ? dir.path(a.substr(1)) : a);
        const auto r = runReport(dir, args);
        EXPECT_EQ(r.status, row.status);
        const std::size_t cut = std::min(row.out.find("..."), row.out.size());
        const std::string end = row.out.substr(std::min(cut + 3, row.out.size()));
        EXPECT_TRUE(row.out.empty()
                        ? r.out.empty()
                        : r.out.starts_with(row.out.substr(0, cut)) && r.out.ends_with(end))
            << r.out;
        EXPECT_TRUE(row.err.empty() ? r.err.empty() : r.errHas(row.err)) << r.err;
    }
    EXPECT_FALSE(fs::exists(dir.path("p.txt")));
}

} // namespace
} // namespace tallix::report
