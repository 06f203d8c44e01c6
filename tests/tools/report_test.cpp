// tallix-report: its arguments, its JSON texts, and the program's output,
// exit status and files.

#include "report/report.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "analysis/test_support.h"
#include "report/json_writer.h"

namespace tallix::report {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testsupport::readBytes;
using testsupport::TempDir;

bool contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

// The options as one line: FILE [CALL] >PROCESSED-OUT and the rest.
std::string read(const Options& o) {
    return o.file + (o.call ? " [" + *o.call + "]" : "") +
           (o.processedOut ? " >" + *o.processedOut : "") + (o.chart ? " chart " + *o.chart : "") +
           (o.sort.empty() ? "" : " sort " + o.sort) + (o.keepTx ? " keep-tx" : "") +
           (o.json ? " json" : "") + (o.stations ? " stations" : "") + (o.csv ? " csv" : "") +
           (o.help ? " help" : "") + (o.version ? " version" : "");
}

TEST(ParseArguments, ReadsTheOptionsOrNamesTheMistake) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        std::string expected; // what was read, or a part of the error message
    };
    for (const Row& row : std::vector<Row>{
             {"options around the file",
              {"--call=", "l", "--keep-tx", "--processed-out=o"},
              "l [] >o keep-tx"},
             {"a call kept as given", {"--call", " --json ", "--json", "l"}, "l [ --json ] json"},
             {"a dash file after --", {"--", "-log.txt"}, "-log.txt"},
             {"a lone dash is a file", {"-"}, "-"},
             {"help stops the parsing", {"--help", "--bogus"}, " help"},
             {"version stops the parsing", {"--version", "a", "b"}, " version"},
             {"station options",
              {"l", "--stations", "--sort", "first", "--csv", "--chart=y.PNG"},
              "l chart y.PNG sort first stations csv"},
             {"no file", {"--json"}, "no FILE given"},
             {"two files", {"a", "b"}, "more than one FILE given: 'a' and 'b'"},
             {"a prefix of an option", {"--cal", "X", "a"}, "unknown option '--cal'"},
             {"call without value", {"a", "--call"}, "option '--call' needs an argument"},
             {"empty processed-out", {"--processed-out=", "a"}, "'--processed-out' needs a file"},
             {"flag with a value", {"--json=yes", "a"}, "option '--json' takes no argument"},
             {"csv without stations", {"--csv", "l"}, "option '--csv' goes with '--stations'"},
             {"unknown sort", {"--stations", "--sort", "name", "l"}, "count, not 'name'"},
             {"empty sort", {"--stations", "--sort=", "l"}, "takes last, first, call or count"},
             {"chart of another kind", {"--chart", "svg", "l"}, "ending in .svg or .png"},
             {"csv and json", {"--stations", "--csv", "--json", "l"}, "do not go together"}}) {
        SCOPED_TRACE(row.name);
        const ParsedArguments p = parseArguments(row.args);
        if (p.error.empty()) {
            EXPECT_EQ(read(p.options), row.expected);
        } else {
            EXPECT_TRUE(contains(p.error, row.expected)) << p.error;
        }
    }
}

TEST(JsonTexts, EscapedInUtf8AndNumbersAsJsonHasThem) {
    EXPECT_EQ(jsonQuoted("say \"hi\" C:\\"), R"("say \"hi\" C:\\")");
    EXPECT_EQ(jsonQuoted("a\0\r\n\x1F\x7F"s), "\"a\\u0000\\u000d\\u000a\\u001f\x7F\"");
    EXPECT_EQ(jsonQuoted("F\xE9lix \x80 \x81"), "\"F\xC3\xA9lix \xE2\x82\xAC \xC2\x81\"");
    EXPECT_EQ(jsonNumber(240.0, 9), "240");
    EXPECT_EQ(jsonNumber(-0.0, 9), "0");
    EXPECT_EQ(std::strtof(jsonNumber(static_cast<double>(0.1f), 9).c_str(), nullptr), 0.1f);
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN(), 9), "null");
}

struct Ran {
    int status;
    std::string out, err;
};

// No argument here holds a single quote.
Ran runReport(const TempDir& dir, const std::vector<std::string>& args) {
    std::string cmd = "'"s + TALLIX_REPORT_EXE + "'";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    const int raw =
        std::system((cmd + " </dev/null >" + dir.path("out") + " 2>" + dir.path("err")).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(dir.path("out")),
            readBytes(dir.path("err"))};
}

// Own call AB1CD: a transmitted frame and its data line, a digipeated frame
// and a direct one with an 8-bit call.
const std::string SampleLog = "Fm AB1CD To CQ Via DIGI >[10:00:00]\r\nhello\r\n"
                              "Fm EF2GH To CQ Via DIGI* >[10:01:00]\r\nhi\r\n"
                              "Fm F\xE9LIX To CQ >[10:02:00]\r\n";
const std::string SampleProcessed = SampleLog.substr(SampleLog.find("Fm EF2GH")); // 70 bytes

TEST(ReportProgram, JsonHoldsExactlyTheFiguresAndTheProcessedTextIsWritten) {
    TempDir dir;
    const std::string log = dir.write("s.txt", SampleLog);
    const Ran r =
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
    EXPECT_EQ(readBytes(dir.path("p.txt")), SampleProcessed);
    // The station arrays come only when asked for, after the figures.
    const Ran stations = runReport(dir, {"--json", "--stations", "--call", "AB1CD", log});
    EXPECT_TRUE(stations.out.starts_with(r.out.substr(0, r.out.size() - 2) + ",\"stations\":["));
    EXPECT_TRUE(contains(stations.out, "}],\"activity\":[{") && stations.out.ends_with("}]}\n"));
}

TEST(ReportProgram, KeptTxFramesWriteTheRawBytesUnchanged) {
    TempDir dir;
    const std::string raw = "Kest log  \r\nFm AB1CD To CQ\r\ndata\nmore\0\xE9 \rlast  "s;
    const std::string log = dir.write("odd.txt", raw);
    const Ran r = runReport(
        dir, {"--keep-tx", "--call", "AB1CD", "--processed-out", dir.path("p.txt"), "--json", log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readBytes(dir.path("p.txt")), raw);
    EXPECT_TRUE(contains(r.out, "\"Label7\":\"Processed Raw File\"")) << r.out;
    const std::string nowhere = dir.path("no-such-folder/p.txt");
    const Ran failed = runReport(dir, {"--call", "A", "--processed-out", nowhere, log});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(contains(failed.err, "cannot write the processed text to " + nowhere));
}

TEST(ReportProgram, FailuresExitWithOneAndTheirMessage) {
    TempDir dir;
    std::string big = "Kest log\r\n";
    for (int i = 1; i < 65001; ++i)
        big += "x\r\n";
    const Ran r = runReport(dir, {"--json", "--call", "A", "--processed-out", dir.path("p.txt"),
                                  dir.write("big.txt", big)});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "File length to large, err nr:9\nLength of the file ")) << r.err;
    // The failure and the line count, nothing else.
    EXPECT_TRUE(r.out.starts_with("{\"failure\":{\"code\":9,\"title\":\"File length to large, err "
                                  "nr:9\",\"message\":\"Length of the file "))
        << r.out;
    EXPECT_TRUE(r.out.ends_with("\"},\"line_count\":65001}\n")) << r.out;
    EXPECT_FALSE(fs::exists(dir.path("p.txt")));

    const Ran gone = runReport(dir, {"--call", "A", dir.path("gone.txt")});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "");
    EXPECT_TRUE(contains(gone.err, "Error nr: 53\nAn error has occured when opening the file "));
}

TEST(ReportProgram, UsageErrorsHelpAndVersion) {
    TempDir dir;
    const Ran usage = runReport(dir, {"--bogus", "x"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "");
    EXPECT_TRUE(usage.err.starts_with("tallix-report: unknown option '--bogus'\nUsage: "));
    const Ran version = runReport(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tallix-report "s + TALLIX_VERSION + "\n");
    const Ran help = runReport(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: tallix-report")) << help.out;
}

const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\n";

TEST(ReportProgram, InfoFiguresAndHeardListWithTheCallOfTheKestIniInTheParentFolder) {
    TempDir dir;
    fs::create_directories(dir.dir() / "Kest/Logs");
    dir.write("Kest/kest.INI", Settings + "AB1CD\r\n");
    const Ran r = runReport(dir, {dir.write("Kest/Logs/s.txt", SampleLog)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out.starts_with("Your Call: AB1CD\nFile created: ")) << r.out;
    EXPECT_TRUE(r.out.ends_with(
        "\nFile size: 70 Bytes\nTotal lines: 3\nTotal of your digi's: 0\n"
        "Total transmitted frames: 1\nTotal received headers: 2\nTotal Digipeated Stations: 3\n"
        "First packet logged: 10:00:00\nLast packet logged: 10:02:00\nTotal log time: 2 min\n"
        "RX Average Frames/Minute: 1\nEfficiency: 0 %\n\nTotal lines: 5\n"
        "Processed Raw File and TX frames removed\nTotal Bytes Processed =114\n"
        "Heard Stations 3\nAB1CD\nEF2GH\nF\xC3\xA9LIX\n"))
        << r.out;
}

TEST(ReportProgram, OwnCallLookedUpAsReadHereFirstElseWarned) {
    TempDir dir;
    for (const char* folder : {"Kest/Logs", "Short", "Bare"})
        fs::create_directories(dir.dir() / folder);
    dir.write("Kest/KEST.INI", Settings + "PARENT\r\n");
    dir.write("Kest/Logs/Kest.ini", Settings + " ab1cd \r\nline5\r\n");
    EXPECT_EQ(lookUpOwnCall(dir.path("Kest/Logs/x.txt")).call.value_or("-"), " ab1cd ");
    EXPECT_EQ(lookUpOwnCall(dir.path("Kest/Reports/x.txt")).call.value_or("-"), "PARENT");

    dir.write("Short/kest.ini", Settings);
    for (const auto& [log, warning] : std::vector<std::pair<const char*, const char*>>{
             {"Short/s.txt", "Short/kest.ini has no call sign (line 4); using an empty call\n"},
             {"Bare/s.txt", "no kest.ini found in the file's folder or its parent"}}) {
        const Ran r = runReport(dir, {dir.write(log, SampleLog)});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(contains(r.err, warning)) << r.err;
        EXPECT_TRUE(contains(r.out, "\nTotal transmitted frames: 0\n")) << r.out;
    }
}

TEST(ReportProgram, UnrecognisedFileIsFlaggedAndRichTextReadWithoutAsking) {
    TempDir dir;
    const Ran notes =
        runReport(dir, {"--json", "--call", "A", dir.write("notes.txt", "hello\r\n")});
    ASSERT_EQ(notes.status, 0) << notes.err;
    EXPECT_TRUE(contains(notes.err, "notes.txt: The file seems not to be a Kest report or Kest log "
                                    "file. Processed anyway."))
        << notes.err;
    EXPECT_TRUE(notes.out.starts_with("{\"file_kind\":0,\"failure\":null,\"line_count\":1,"));

    const std::string rtf =
        dir.write("p.rtf", "{\\rtf1\\ansi Fm AB1CD To CQ Via DIGI* >[10:00:00]\\par hi\\par}");
    const Ran r = runReport(
        dir, {"--json", "--keep-tx", "--call", "AB1CD", "--processed-out", dir.path("p.txt"), rtf});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(contains(r.out, "\"own_digipeated\":1,")) << r.out;
    EXPECT_TRUE(
        readBytes(dir.path("p.txt")).starts_with("Fm AB1CD To CQ Via DIGI* >[10:00:00]\r\nhi"));
    EXPECT_FALSE(fs::exists("rtftemp.tmp"));
    // A plain text whose name holds ".rtf" takes the same road.
    EXPECT_EQ(runReport(dir, {"--call", "A", dir.write("a.Rtf.txt", "hello")}).err, "");
}

} // namespace
} // namespace tallix::report
