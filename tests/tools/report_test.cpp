#include "report/report.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "report/json_writer.h"

namespace tallix::report {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// ---- argument parsing ----

struct ArgsRow {
    const char* name;
    std::vector<std::string> args;
    const char* error; // part of the expected message; nullptr when the arguments are usable
    Options expected;
};
void PrintTo(const ArgsRow& row, std::ostream* os) {
    *os << row.name;
}

class ParseArgumentsTest : public testing::TestWithParam<ArgsRow> {};

TEST_P(ParseArgumentsTest, ReadsOptionsOrNamesTheMistake) {
    const ArgsRow& row = GetParam();
    const ParsedArguments parsed = parseArguments(row.args);
    if (row.error) {
        EXPECT_NE(parsed.error.find(row.error), std::string::npos) << parsed.error;
        return;
    }
    ASSERT_EQ(parsed.error, "");
    const Options& o = parsed.options;
    const Options& e = row.expected;
    EXPECT_EQ(o.file, e.file);
    EXPECT_EQ(o.call, e.call);
    EXPECT_EQ(o.processedOut, e.processedOut);
    EXPECT_EQ(std::vector<bool>({o.keepTx, o.json, o.help, o.version}),
              std::vector<bool>({e.keepTx, e.json, e.help, e.version}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ParseArgumentsTest,
    testing::Values(
        ArgsRow{"FileOnly", {"log.txt"}, nullptr, {.file = "log.txt"}},
        ArgsRow{"EveryOption",
                {"--call", "AB1CD", "--keep-tx", "--json", "--processed-out", "out.txt", "l"},
                nullptr,
                {.call = "AB1CD",
                 .keepTx = true,
                 .json = true,
                 .processedOut = "out.txt",
                 .file = "l"}},
        ArgsRow{"OptionsAfterTheFile", {"l", "--json"}, nullptr, {.json = true, .file = "l"}},
        ArgsRow{"CallKeptUntrimmed",
                {"--call", " ab1cd ", "l"},
                nullptr,
                {.call = " ab1cd ", .file = "l"}},
        ArgsRow{
            "CallWithEqualsSign", {"--call=PD9TLX", "l"}, nullptr, {.call = "PD9TLX", .file = "l"}},
        ArgsRow{"EmptyCall", {"--call=", "l"}, nullptr, {.call = "", .file = "l"}},
        ArgsRow{"CallLooksLikeAnOption",
                {"--call", "--json", "l"},
                nullptr,
                {.call = "--json", .file = "l"}},
        ArgsRow{"ProcessedOutWithEqualsSign",
                {"--processed-out=o", "l"},
                nullptr,
                {.processedOut = "o", .file = "l"}},
        ArgsRow{"DashFileAfterDoubleDash", {"--", "-log.txt"}, nullptr, {.file = "-log.txt"}},
        ArgsRow{"OptionAfterDoubleDashIsAFile", {"--", "--json"}, nullptr, {.file = "--json"}},
        ArgsRow{"LoneDashIsAFile", {"-"}, nullptr, {.file = "-"}},
        ArgsRow{"HelpStopsTheParsing", {"--help", "--bogus"}, nullptr, {.help = true}},
        ArgsRow{"Version", {"--version", "a"}, nullptr, {.version = true}},
        ArgsRow{"NoArguments", {}, "no FILE", {}},
        ArgsRow{"OnlyOptions", {"--json", "--keep-tx"}, "no FILE", {}},
        ArgsRow{"TwoFiles", {"a", "b"}, "more than one FILE", {}},
        ArgsRow{"SecondFileAfterDoubleDash", {"a", "--", "b"}, "more than one FILE", {}},
        ArgsRow{"UnknownOption", {"--bogus", "a"}, "unknown option '--bogus'", {}},
        ArgsRow{"UnknownShortOption", {"-j", "a"}, "unknown option '-j'", {}},
        ArgsRow{"PrefixOfAnOption", {"--cal", "X", "a"}, "unknown option '--cal'", {}},
        ArgsRow{"CallWithoutValue", {"a", "--call"}, "'--call' needs an argument", {}},
        ArgsRow{"ProcessedOutWithoutValue", {"a", "--processed-out"}, "'--processed-out' ne", {}},
        ArgsRow{"ProcessedOutEmpty", {"--processed-out=", "a"}, "'--processed-out' needs", {}},
        ArgsRow{"FlagWithValue", {"--json=yes", "a"}, "'--json' takes no argument", {}}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- JSON texts and numbers ----

struct QuoteRow {
    const char* name;
    std::string bytes; // Windows-1252
    std::string expected;
};
void PrintTo(const QuoteRow& row, std::ostream* os) {
    *os << row.name;
}

class JsonQuotedTest : public testing::TestWithParam<QuoteRow> {};

TEST_P(JsonQuotedTest, EscapesAndConvertsToUtf8) {
    EXPECT_EQ(jsonQuoted(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, JsonQuotedTest,
    testing::Values(QuoteRow{"Quote", "say \"hi\"", R"("say \"hi\"")"},
                    QuoteRow{"Backslash", "C:\\Kest\\", R"("C:\\Kest\\")"},
                    QuoteRow{"LineEnds", "a\r\nb", R"("a\u000d\u000ab")"},
                    QuoteRow{"TabAndUnitSeparator", "\t\x1F", R"("\u0009\u001f")"},
                    QuoteRow{"Nul", "a\0b"s, R"("a\u0000b")"},
                    QuoteRow{"DeleteStays", "\x7F", "\"\x7F\""},
                    QuoteRow{"EAcute", "F\xE9lix", "\"F\xC3\xA9lix\""},
                    QuoteRow{"Euro", "\x80", "\"\xE2\x82\xAC\""},
                    QuoteRow{"UndefinedByteIsItsC1Control", "\x81", "\"\xC2\x81\""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(JsonNumber, WholeValuesAsIntegersOthersRoundTrip) {
    EXPECT_EQ(jsonNumber(240.0, 9), "240");
    EXPECT_EQ(jsonNumber(-1.0, 9), "-1");
    EXPECT_EQ(jsonNumber(-0.0, 9), "0");
    EXPECT_EQ(jsonNumber(16777216.0, 9), "16777216");
    for (const float f : {0.1f, 1.0f / 3, 123456.7f, 1e-7f}) {
        const std::string t = jsonNumber(static_cast<double>(f), 9);
        EXPECT_EQ(std::strtof(t.c_str(), nullptr), f) << t;
    }
    EXPECT_EQ(std::strtod(jsonNumber(0.1, 17).c_str(), nullptr), 0.1);
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN(), 9), "null");
    EXPECT_EQ(jsonNumber(-std::numeric_limits<double>::infinity(), 17), "null");
}

// ---- reading back what the program prints ----

// One JSON value as the report writes it; anything malformed throws.
struct Json {
    bool isString = false;
    std::string text; // a string's UTF-8, or a number or null as written
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json& at(const std::string& key) const {
        for (const auto& [k, v] : members)
            if (k == key)
                return v;
        throw std::runtime_error("no member " + key);
    }
    std::multiset<std::string> keys() const {
        std::multiset<std::string> k;
        for (const auto& m : members)
            k.insert(m.first);
        return k;
    }
    std::vector<std::string> strings() const {
        std::vector<std::string> s;
        for (const auto& i : items)
            s.push_back(i.text);
        return s;
    }
};

Json parseJson(std::string_view s, std::size_t& pos) {
    auto fail = [&](const char* why) {
        throw std::runtime_error(why + (" at " + std::to_string(pos)));
    };
    auto take = [&](char c) { return pos < s.size() && s[pos] == c ? (++pos, true) : false; };
    Json v;
    if (take('{')) {
        while (!take('}')) {
            if (!v.members.empty() && !take(','))
                fail("expected ','");
            Json key = parseJson(s, pos);
            if (!key.isString || !take(':'))
                fail("expected a member name");
            v.members.emplace_back(key.text, parseJson(s, pos));
        }
    } else if (take('[')) {
        while (!take(']')) {
            if (!v.items.empty() && !take(','))
                fail("expected ','");
            v.items.push_back(parseJson(s, pos));
        }
    } else if (take('"')) {
        v.isString = true;
        while (!take('"')) {
            if (pos >= s.size() || static_cast<unsigned char>(s[pos]) < 0x20)
                fail("unterminated string or raw control character");
            char c = s[pos++];
            if (c == '\\') {
                c = s.at(pos++);
                if (c == 'u') {
                    c = static_cast<char>(std::stoi(std::string(s.substr(pos, 4)), nullptr, 16));
                    pos += 4;
                } else if (c != '"' && c != '\\') {
                    fail("unexpected escape");
                }
            }
            v.text.push_back(c);
        }
    } else {
        const std::size_t end = std::min(s.find_first_not_of("-.e0123456789nul", pos), s.size());
        v.text = s.substr(pos, end - pos);
        pos = end;
        if (v.text.empty())
            fail("no value");
    }
    return v;
}

// The whole output: one value on one line.
Json parseReport(const std::string& out) {
    std::size_t pos = 0;
    Json v = parseJson(out, pos);
    if (out.substr(pos) != "\n")
        throw std::runtime_error("more than one line of JSON");
    return v;
}

// ---- the settings-file lookup ----

class TempDir {
public:
    TempDir() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("tallix-report-" + std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string write(const std::string& relative, const std::string& bytes) const {
        const fs::path p = path_ / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }

private:
    fs::path path_;
};

std::string readBytes(const fs::path& p) {
    std::string bytes;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[4096];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.append(buf, got);
        std::fclose(f);
    }
    return bytes;
}

const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\n";

TEST(LookUpOwnCall, TakesLineFourFromTheFilesFolderThenItsParent) {
    TempDir dir;
    dir.write("Kest/KEST.INI", Settings + " pd9tlx \r\nline5\r\n");
    dir.write("Kest/Logs/Kest.ini", Settings + "AB1CD\r\n");
    dir.write("Short/kest.ini", Settings);
    const std::string root = dir.path().string();

    EXPECT_EQ(lookUpOwnCall(root + "/Kest/Logs/x.txt").call, "AB1CD");
    EXPECT_EQ(lookUpOwnCall(root + "/Kest/x.txt").call, " pd9tlx "); // exactly as read
    const CallLookup inParent = lookUpOwnCall(root + "/Kest/Reports/x.txt");
    EXPECT_EQ(inParent.call, " pd9tlx ");
    EXPECT_EQ(fs::path(inParent.settingsFile).filename(), "KEST.INI");

    const CallLookup threeLines = lookUpOwnCall(root + "/Short/x.txt");
    EXPECT_FALSE(threeLines.call);
    EXPECT_NE(threeLines.settingsFile, "");
    const CallLookup none = lookUpOwnCall(root + "/Bare/Deeper/x.txt");
    EXPECT_FALSE(none.call);
    EXPECT_EQ(none.settingsFile, "");
}

// ---- the program itself ----

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (const char c : s)
        q += c == '\'' ? "'\\''"s : std::string(1, c);
    return q + "'";
}

Ran runReport(const TempDir& dir, const std::vector<std::string>& args,
              const std::string& cwd = ".") {
    const fs::path out = dir.path() / "stdout.txt";
    const fs::path err = dir.path() / "stderr.txt";
    std::string cmd = "cd " + shellQuoted(cwd) + " && " + shellQuoted(TALLIX_REPORT_EXE);
    for (const auto& a : args)
        cmd += " " + shellQuoted(a);
    cmd += " </dev/null >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out), readBytes(err)};
}

bool contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

// With own call AB1CD: a transmitted frame and its data line, then a received
// digipeated frame.
const std::string SampleLog = "Fm AB1CD To CQ Via DIGI >[10:00:00]\r\nhello\r\n"
                              "Fm EF2GH To CQ Via DIGI* >[10:01:00]\r\nhi\r\n";
const std::string SampleProcessed = "Fm EF2GH To CQ Via DIGI* >[10:01:00]\r\nhi\r\n";

TEST(ReportProgram, PrintsTheInfoFiguresAndTheHeardList) {
    TempDir dir;
    const std::string log = dir.write("Kest/Logs/sample.txt", SampleLog);
    const Ran r = runReport(dir, {"--call", "AB1CD", log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const std::string& line :
         {"Your Call: AB1CD\n"s, "File size: " + std::to_string(SampleProcessed.size()) + " Bytes",
          "\nTotal lines: 2\n"s, "Total of your digi's: 0\n"s, "Total transmitted frames: 1\n"s,
          "Total received headers: 1\n"s, "Total Digipeated Stations: 2\n"s,
          "First packet logged: 10:00:00\n"s, "Last packet logged: 10:01:00\n"s,
          "Total log time: 1 min\n"s, "RX Average Frames/Minute: 1\n"s, "Efficiency: 0 %\n"s,
          "\nTotal lines: 4\n"s, "Processed Raw File and TX frames removed\n"s,
          "Total Bytes Processed =" + std::to_string(SampleLog.size()) + "\n"})
        EXPECT_TRUE(contains(r.out, line)) << line << "\n" << r.out;
    EXPECT_TRUE(r.out.ends_with("Heard Stations 2\nAB1CD\nEF2GH\n")) << r.out;
}

TEST(ReportProgram, JsonHoldsExactlyTheFiguresKeys) {
    TempDir dir;
    const std::string log = dir.write("Kest/sample.txt", SampleLog);
    const Ran r = runReport(dir, {"--json", "--call", "AB1CD", log});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json j = parseReport(r.out);
    EXPECT_EQ(j.keys(), (std::multiset<std::string>{"file_kind",
                                                    "failure",
                                                    "line_count",
                                                    "raw_bytes",
                                                    "received_headers",
                                                    "transmitted_frames",
                                                    "own_digipeated",
                                                    "kept_lines",
                                                    "first_packet_time",
                                                    "last_packet_time",
                                                    "heard_count",
                                                    "heard_listed",
                                                    "heard",
                                                    "heard_sorted",
                                                    "heard_clipboard",
                                                    "processed_bytes",
                                                    "log_seconds",
                                                    "rx_per_minute",
                                                    "preview_line_count",
                                                    "captions"}));
    const Json& c = j.at("captions");
    EXPECT_EQ(c.keys(), (std::multiset<std::string>{"totalLineProcessed", "Label24", "Label14",
                                                    "Label8", "Label12", "Label16", "Label18",
                                                    "Label4", "Label26", "Label28", "Label30",
                                                    "Label32", "Label21", "Label34", "Label7"}));

    const std::vector<std::pair<const char*, std::string>> figures = {
        {"file_kind", "1"},
        {"failure", "null"},
        {"line_count", "4"},
        {"raw_bytes", std::to_string(SampleLog.size())},
        {"received_headers", "1"},
        {"transmitted_frames", "1"},
        {"own_digipeated", "0"},
        {"kept_lines", "2"},
        {"heard_count", "2"},
        {"heard_listed", "2"},
        {"first_packet_time", "10:00:00"},
        {"last_packet_time", "10:01:00"},
        {"heard_clipboard", "AB1CD,EF2GH,"},
        {"processed_bytes", std::to_string(SampleProcessed.size())},
        {"log_seconds", "60"},
        {"rx_per_minute", "1"},
        {"preview_line_count", "3"}};
    for (const auto& [key, value] : figures)
        EXPECT_EQ(j.at(key).text, value) << key;
    EXPECT_EQ(j.at("heard").strings(), (std::vector<std::string>{"AB1CD", "EF2GH"}));
    EXPECT_EQ(c.at("Label7").text, "Processed Raw File and TX frames removed");
}

TEST(ReportProgram, EightBitTextsGoOutAsUtf8) {
    TempDir dir;
    const std::string log = dir.write("Kest/s.txt", "Kest log\r\nFm F\xE9LIX To CQ\r\n");
    const Ran json = runReport(dir, {"--json", "--call", "X", log});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(parseReport(json.out).at("heard").strings(),
              std::vector<std::string>{"F\xC3\xA9LIX"});
    const Ran text = runReport(dir, {"--call", "X", log});
    EXPECT_TRUE(text.out.ends_with("Heard Stations 1\nF\xC3\xA9LIX\n")) << text.out;
}

TEST(ReportProgram, FailuresExitWithOneAndShowTheMessage) {
    TempDir dir;
    std::string big = "Kest log\r\n";
    for (int i = 1; i < 65001; ++i)
        big += "x\r\n";
    const std::string log = dir.write("Kest/big.txt", big);
    const fs::path out = dir.path() / "out.txt";
    const Ran r = runReport(dir, {"--json", "--call", "A", "--processed-out", out.string(), log});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "File length to large, err nr:9\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "Tallix is limited to 65000 lines")) << r.err;
    const Json j = parseReport(r.out);
    EXPECT_EQ(j.keys(), (std::multiset<std::string>{"failure", "line_count"}));
    EXPECT_EQ(j.at("line_count").text, "65001");
    const Json& f = j.at("failure");
    EXPECT_EQ(f.keys(), (std::multiset<std::string>{"code", "title", "message"}));
    EXPECT_EQ(f.at("code").text, "9");
    EXPECT_EQ(f.at("title").text, "File length to large, err nr:9");
    EXPECT_TRUE(f.at("message").text.starts_with("Length of the file ")) << f.at("message").text;
    EXPECT_FALSE(fs::exists(out));

    const Ran gone = runReport(dir, {"--call", "A", (dir.path() / "gone.txt").string()});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "");
    EXPECT_TRUE(contains(gone.err, "Error nr: 53\nAn error has occured when opening the file "))
        << gone.err;
}

TEST(ReportProgram, UsageErrorsHelpAndVersion) {
    TempDir dir;
    const std::string log = dir.write("Kest/sample.txt", SampleLog);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {}, {"--bogus", log}, {log, log}, {log, "--call"}, {log, "--processed-out"}}) {
        const Ran r = runReport(dir, args);
        EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "Usage: tallix-report")) << r.err;
    }
    const Ran version = runReport(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "tallix-report "s + TALLIX_VERSION + "\n");
    const Ran help = runReport(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: tallix-report")) << help.out;
}

TEST(ReportProgram, ProcessedOutHoldsTheBytesAsBuilt) {
    TempDir dir;
    const fs::path out = dir.path() / "processed.txt";
    const std::string log = dir.write("Kest/sample.txt", SampleLog);
    const Ran removed = runReport(dir, {"--call", "AB1CD", "--processed-out", out.string(), log});
    ASSERT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(readBytes(out), SampleProcessed);

    // Kept TX frames: the raw text itself, with all the line store loses
    // (trailing blanks, a lone LF, a NUL, no final line end).
    const std::string raw = "Kest log  \r\nFm AB1CD To CQ\r\ndata\nmore\0\xE9 \rlast  "s;
    const std::string odd = dir.write("Kest/odd.txt", raw);
    const Ran kept = runReport(
        dir, {"--keep-tx", "--call", "AB1CD", "--processed-out", out.string(), "--json", odd});
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(readBytes(out), raw);
    EXPECT_EQ(parseReport(kept.out).at("captions").at("Label7").text, "Processed Raw File");

    const std::string nowhere = (dir.path() / "no-such-folder" / "p.txt").string();
    const Ran failed = runReport(dir, {"--call", "AB1CD", "--processed-out", nowhere, log});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(contains(failed.err, nowhere)) << failed.err;
}

TEST(ReportProgram, CallFromKestIniInTheParentFolderOrWarned) {
    TempDir dir;
    dir.write("Kest/kest.INI", Settings + "AB1CD\r\n");
    const std::string log = dir.write("Kest/Logs/sample.txt", SampleLog);
    const Ran found = runReport(dir, {"--json", log});
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.err, "");
    EXPECT_EQ(parseReport(found.out).at("transmitted_frames").text, "1");

    const std::string elsewhere = dir.write("Other/Logs/sample.txt", SampleLog);
    const Ran missing = runReport(dir, {"--json", elsewhere});
    ASSERT_EQ(missing.status, 0) << missing.err;
    EXPECT_TRUE(contains(missing.err, "no --call given")) << missing.err;
    EXPECT_EQ(parseReport(missing.out).at("transmitted_frames").text, "0");
}

TEST(ReportProgram, UnrecognisedFileIsProcessedAndFlagged) {
    TempDir dir;
    dir.write("Kest/-notes.txt", "hello\r\nworld\r\n");
    // A name that begins with "-" is given after "--".
    const Ran r = runReport(dir, {"--json", "--call", "AB1CD", "--", "-notes.txt"},
                            (dir.path() / "Kest").string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "The file seems not to be a Kest report or Kest log file."))
        << r.err;
    const Json j = parseReport(r.out);
    EXPECT_EQ(j.at("file_kind").text, "0");
    EXPECT_EQ(j.at("line_count").text, "2");
}

TEST(ReportProgram, RichTextIsReadFromMemoryWithoutAsking) {
    TempDir dir;
    const std::string rtf = dir.write(
        "Kest/Logs/pass.rtf", "{\\rtf1\\ansi Fm AB1CD To CQ Via DIGI* >[10:00:00]\\par hi\\par}");
    const fs::path out = dir.path() / "p.txt";
    const Ran r = runReport(
        dir, {"--json", "--keep-tx", "--call", "AB1CD", "--processed-out", out.string(), rtf},
        dir.path().string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, ""); // a rich-text source is never taken for an unrecognised file
    EXPECT_EQ(parseReport(r.out).at("own_digipeated").text, "1");
    EXPECT_TRUE(readBytes(out).starts_with("Fm AB1CD To CQ Via DIGI* >[10:00:00]\r\nhi"));
    EXPECT_FALSE(fs::exists(dir.path() / "rtftemp.tmp"));

    // A plain text whose name holds ".rtf" takes the same road.
    const Ran named = runReport(dir, {"--call", "AB1CD", dir.write("Kest/a.Rtf.txt", "hello")});
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(named.err, "");
}

} // namespace
} // namespace tallix::report
