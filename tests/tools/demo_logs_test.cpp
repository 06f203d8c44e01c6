#include "demo/demo_logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/intake.h"
#include "analysis/line_store.h"

namespace fs = std::filesystem;
using tallix::demo::DemoOwnCall;
using tallix::demo::generateLog;
using tallix::demo::generateRtfReport;
using tallix::demo::LogOptions;

namespace {

// Lines as the program cuts them: a line ends at CR LF or at a lone CR; a last
// line without a line end is a line.
std::vector<std::string> cutLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += bytes[i];
            open = true;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}

// Frame headers as they stand in the file: "Fm " at the start, or after a port
// prefix of one or two characters.
std::vector<std::string_view> frameHeaders(const std::vector<std::string>& lines) {
    std::vector<std::string_view> headers;
    for (const auto& line : lines) {
        const std::size_t at = line.find("Fm ");
        if (at != std::string::npos && at <= 2)
            headers.push_back(std::string_view(line).substr(at));
    }
    return headers;
}

// The heard call: characters 4 to 14, up to the first blank.
std::string_view headerCall(std::string_view header) {
    const std::string_view c = header.substr(3, 11);
    return c.substr(0, c.find(' '));
}

std::set<std::string, std::less<>> distinctCalls(const std::vector<std::string>& lines) {
    std::set<std::string, std::less<>> calls;
    for (const std::string_view h : frameHeaders(lines))
        calls.emplace(headerCall(h));
    return calls;
}

int seconds(std::string_view hhmmss) {
    return ((hhmmss[0] - '0') * 10 + (hhmmss[1] - '0')) * 3600 +
           ((hhmmss[3] - '0') * 10 + (hhmmss[4] - '0')) * 60 + (hhmmss[6] - '0') * 10 +
           (hhmmss[7] - '0');
}

bool wellFormedTime(std::string_view t) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return t.size() == 8 && digit(t[0]) && digit(t[1]) && t[2] == ':' && digit(t[3]) &&
           digit(t[4]) && t[5] == ':' && digit(t[6]) && digit(t[7]) && t.substr(0, 2) < "24" &&
           t[3] < '6' && t[6] < '6';
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

fs::path uniqueTempDir(std::string_view tag) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return fs::temp_directory_path() /
           ("tallix-demo-" + std::string(tag) + "-" + std::to_string(now));
}

// ---- the shape of a generated log, over a table of option sets ----

struct LogRow {
    const char* name;
    LogOptions options;
    bool crossesMidnight;
};

LogOptions with(int lines, int stations, bool reportHeader, bool colonFm, bool finalLineBreak,
                bool crossMidnight = false) {
    LogOptions o;
    o.seed = 7;
    o.lines = lines;
    o.stations = stations;
    o.reportHeader = reportHeader;
    o.colonFm = colonFm;
    o.finalLineBreak = finalLineBreak;
    o.crossMidnight = crossMidnight;
    return o;
}

void PrintTo(const LogRow& row, std::ostream* os) {
    *os << row.name;
}

class GeneratedLog : public ::testing::TestWithParam<LogRow> {};

TEST_P(GeneratedLog, HasTheRequestedShape) {
    const LogOptions& o = GetParam().options;
    const std::string bytes = generateLog(o);
    const std::vector<std::string> lines = cutLines(bytes);

    ASSERT_EQ(static_cast<int>(lines.size()), o.lines);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
        }
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at byte " << i;
        }
    }
    EXPECT_EQ(bytes.ends_with("\r\n"), o.finalLineBreak);

    EXPECT_TRUE(lines[0].starts_with(o.reportHeader ? "Report Kest" : "Kest")) << lines[0];

    const auto headers = frameHeaders(lines);
    ASSERT_FALSE(headers.empty());
    for (const auto& line : lines) {
        const std::size_t at = line.find("Fm ");
        if (at == std::string::npos || at > 2)
            continue;
        if (o.colonFm)
            EXPECT_TRUE(at == 1 || at == 2) << "header without its port prefix: " << line;
        else
            EXPECT_EQ(at, 0u) << line;
    }

    const auto calls = distinctCalls(lines);
    EXPECT_LE(static_cast<int>(calls.size()), o.stations + 1);
    if (o.lines >= 20) {
        EXPECT_TRUE(calls.contains(o.ownCall));
    }
    for (const auto& call : calls)
        EXPECT_FALSE(call.empty());

    // Stamps are well formed and run forward; they pass midnight once at most,
    // and only when asked to.
    int wraps = 0;
    int previous = -1;
    for (const std::string_view h : headers) {
        const std::size_t p = h.find(">[");
        if (p == std::string_view::npos)
            continue;
        const std::string_view t = h.substr(p + 2, 8);
        ASSERT_TRUE(wellFormedTime(t)) << h;
        if (previous > seconds(t))
            ++wraps;
        previous = seconds(t);
    }
    EXPECT_EQ(wraps, GetParam().crossesMidnight ? 1 : 0);
}

const LogRow LogRows[] = {
    {"Report1000", with(1000, 40, true, false, true), false},
    {"MonitorColonFm", with(700, 20, false, true, true), false},
    {"NoFinalLineBreak", with(501, 15, true, false, false), false},
    {"ThreeLinesNoFinalLineBreak", with(3, 5, false, false, false), false},
    {"NoOtherStations", with(200, 0, true, false, true), false},
    {"ManyStations", with(20000, 600, true, false, true), false},
    {"PastMidnight", with(3000, 30, false, false, true, true), true},
};

INSTANTIATE_TEST_SUITE_P(Options, GeneratedLog, ::testing::ValuesIn(LogRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GenerateLog, ZeroLinesIsAnEmptyText) {
    LogOptions o;
    o.lines = 0;
    EXPECT_EQ(generateLog(o), "");
}

TEST(GenerateLog, SameSeedSameBytesOtherSeedOtherBytes) {
    LogOptions a;
    a.lines = 2000;
    LogOptions b = a;
    b.seed = a.seed + 1;
    EXPECT_EQ(generateLog(a), generateLog(a));
    EXPECT_NE(generateLog(a), generateLog(b));
    EXPECT_EQ(generateRtfReport(5, DemoOwnCall), generateRtfReport(5, DemoOwnCall));
    EXPECT_NE(generateRtfReport(5, DemoOwnCall), generateRtfReport(6, DemoOwnCall));
}

// Own headers are "Fm " + own call + " To ...": as transmitted without "*", as
// heard back through the digipeater with it. Even a short log shows both.
TEST(GenerateLog, OwnFramesBothTransmittedAndDigipeated) {
    for (const int lines : {12, 1000}) {
        for (const char* own : {DemoOwnCall, "AB1CD-7"}) {
            LogOptions o;
            o.lines = lines;
            o.ownCall = own;
            const std::string prefix = "Fm " + std::string(own) + " To ";
            int transmitted = 0, digipeated = 0;
            const auto logLines = cutLines(generateLog(o));
            for (const std::string_view h : frameHeaders(logLines)) {
                if (!h.starts_with(prefix))
                    continue;
                ++(h.find('*') == std::string_view::npos ? transmitted : digipeated);
            }
            EXPECT_GT(transmitted, 0) << own << ", " << lines << " lines";
            EXPECT_GT(digipeated, 0) << own << ", " << lines << " lines";
        }
    }
}

TEST(GenerateLog, DataHoldsEightBitText) {
    LogOptions o;
    o.lines = 1000;
    const std::string bytes = generateLog(o);
    EXPECT_TRUE(std::any_of(bytes.begin(), bytes.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
}

TEST(GenerateRtfReport, IsSmallWellFormedRichText) {
    const std::string rtf = generateRtfReport(3, "AB1CD");
    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi"));
    for (const char* word : {"\\fonttbl", "\\colortbl", "\\b ", "\\par", "\\'e9", "Fm AB1CD To"})
        EXPECT_NE(rtf.find(word), std::string::npos) << word;
    // Braces balance (escaped ones aside) and close at the very end; 8-bit
    // text is escaped, so the document itself is 7-bit.
    int depth = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const auto byte = static_cast<unsigned char>(rtf[i]);
        ASSERT_LT(byte, 0x80) << "at byte " << i;
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}') {
            --depth;
            ASSERT_GE(depth, 0);
            if (depth == 0) {
                EXPECT_EQ(rtf.find_first_not_of("\r\n", i + 1), std::string::npos);
            }
        }
    }
    EXPECT_EQ(depth, 0);
}

// ---- the demo Kest folder ----

class DemoFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new fs::path(uniqueTempDir("folder"));
        written_ = new std::vector<fs::path>(tallix::demo::writeDemoKestFolder(*folder_, 11));
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*folder_, ignored);
        delete written_;
        delete folder_;
    }
    static const fs::path& folder() { return *folder_; }
    static const std::vector<fs::path>& written() { return *written_; }

private:
    static fs::path* folder_;
    static std::vector<fs::path>* written_;
};

fs::path* DemoFolder::folder_ = nullptr;
std::vector<fs::path>* DemoFolder::written_ = nullptr;

TEST_F(DemoFolder, KestIniNamesTheOwnCallOnLineFour) {
    const std::string ini = readFile(folder() / "kest.ini");
    const auto lines = cutLines(ini);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with(";Kest"));
    EXPECT_EQ(lines[3], DemoOwnCall);
    EXPECT_TRUE(ini.ends_with("\r\n"));
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), std::count(ini.begin(), ini.end(), '\r'));
}

TEST_F(DemoFolder, LayoutAndReturnedPaths) {
    for (const char* sub : {"Reports", "Logs", "Monitor"})
        EXPECT_TRUE(fs::is_directory(folder() / sub)) << sub;

    std::set<fs::path> relative;
    for (const auto& path : written()) {
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
        relative.insert(fs::relative(path, folder()));
    }
    EXPECT_EQ(relative.size(), written().size()) << "a path returned twice";
    for (const char* name : {"kest.ini", "Reports/pass.rtf", "Logs/big65000.log",
                             "Logs/toolong65001.log", "Logs/many-stations.log"})
        EXPECT_TRUE(relative.contains(name)) << name;

    auto count = [&](const fs::path& dir, const char* ext) {
        return std::count_if(relative.begin(), relative.end(), [&](const fs::path& p) {
            return p.parent_path() == dir && p.extension() == ext;
        });
    };
    EXPECT_GE(count("", ".log") + count("", ".txt"), 1) << "no log in the Kest folder itself";
    EXPECT_GE(count("Logs", ".log"), 2);
    EXPECT_GE(count("Logs", ".txt") + count("Reports", ".txt"), 1);
    EXPECT_GE(count("Monitor", ".log") + count("Monitor", ".txt"), 1);

    bool monitorWithPorts = false;
    for (const auto& p : relative)
        if (p.parent_path() == "Monitor")
            for (const auto& line : cutLines(readFile(folder() / p)))
                monitorWithPorts = monitorWithPorts || line.find(":Fm ") == 1;
    EXPECT_TRUE(monitorWithPorts) << "no Monitor log with port prefixes";
}

// The big logs sit on both sides of the line limit, and the heard list of the
// big ones overflows its 500 slots.
TEST_F(DemoFolder, BigLogsAroundTheLineLimit) {
    struct Row {
        const char* name;
        int lines;
        bool overLimit;
        bool over500Calls;
    };
    for (const Row& row : {Row{"Logs/big65000.log", 65000, false, true},
                           Row{"Logs/toolong65001.log", 65001, true, false},
                           Row{"Logs/many-stations.log", -1, false, true}}) {
        SCOPED_TRACE(row.name);
        const fs::path path = folder() / row.name;
        const auto lines = cutLines(readFile(path));
        if (row.lines >= 0) {
            EXPECT_EQ(static_cast<int>(lines.size()), row.lines);
        }
        if (row.over500Calls) {
            EXPECT_GT(distinctCalls(lines).size(), 500u);
        }

        tallix::analysis::LineStore store;
        const auto failure = tallix::analysis::loadLines(path.string(), store);
        EXPECT_EQ(store.count(), static_cast<std::int32_t>(lines.size()));
        EXPECT_EQ(failure == tallix::analysis::FailureLineLimit, row.overLimit);
    }
}

TEST_F(DemoFolder, LogsAreRecognisedAsKestLogs) {
    for (const auto& path : written()) {
        const auto ext = path.extension();
        if ((ext != ".log" && ext != ".txt") || path.filename() == "notes.txt")
            continue;
        EXPECT_NE(tallix::analysis::validateLogFile(path.string()),
                  tallix::analysis::FileKind::Unrecognised)
            << path;
    }
}

TEST(DemoFolderRewrite, OverwritesItsOwnFilesAndLeavesOthersAlone) {
    const fs::path folder = uniqueTempDir("rewrite");
    const auto first = tallix::demo::writeDemoKestFolder(folder, 2);
    const fs::path big = folder / "Logs" / "big65000.log";
    const std::string before = readFile(big);
    {
        std::ofstream(big, std::ios::binary | std::ios::trunc) << "scribbled over";
        std::ofstream(folder / "Logs" / "mine.log", std::ios::binary) << "my own log";
    }
    EXPECT_EQ(tallix::demo::writeDemoKestFolder(folder, 2), first);
    EXPECT_EQ(readFile(big), before);
    EXPECT_EQ(readFile(folder / "Logs" / "mine.log"), "my own log");

    tallix::demo::writeDemoKestFolder(folder, 3);
    EXPECT_NE(readFile(big), before);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

} // namespace
