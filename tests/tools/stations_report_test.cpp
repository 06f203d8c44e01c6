// tallix-report's station table, its CSV and JSON forms, and the activity
// chart as SVG and PNG.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "report/activity_chart.h"
#include "report/png_writer.h"
#include "report/report.h"

namespace tallix::report {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// ---- arguments ----

struct StationArgsRow {
    const char* name;
    std::vector<std::string> args;
    const char* error; // part of the message; nullptr when usable
    bool stations = false;
    bool csv = false;
    std::string sort = "";
    std::string chart = "";
};

class StationArgsTest : public testing::TestWithParam<StationArgsRow> {};

TEST_P(StationArgsTest, ReadsTheStationOptions) {
    const StationArgsRow& row = GetParam();
    const ParsedArguments parsed = parseArguments(row.args);
    if (row.error) {
        EXPECT_NE(parsed.error.find(row.error), std::string::npos) << parsed.error;
        return;
    }
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.stations, row.stations);
    EXPECT_EQ(parsed.options.csv, row.csv);
    EXPECT_EQ(parsed.options.sort, row.sort);
    EXPECT_EQ(parsed.options.chart.value_or(""), row.chart);
    EXPECT_EQ(parsed.options.file, "l");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StationArgsTest,
    testing::Values(
        StationArgsRow{"Stations", {"--stations", "l"}, nullptr, true},
        StationArgsRow{"SortedCsv",
                       {"l", "--stations", "--sort", "first", "--csv"},
                       nullptr,
                       true,
                       true,
                       "first"},
        StationArgsRow{"SortWithEqualsSign",
                       {"--sort=count", "--stations", "l"},
                       nullptr,
                       true,
                       false,
                       "count"},
        StationArgsRow{"ChartAlone", {"--chart", "a.PNG", "l"}, nullptr, false, false, "", "a.PNG"},
        StationArgsRow{"ChartSvg", {"--chart=x/y.svg", "l"}, nullptr, false, false, "", "x/y.svg"},
        StationArgsRow{"JsonWithStations", {"--json", "--stations", "l"}, nullptr, true},
        StationArgsRow{"CsvWithoutStations", {"--csv", "l"}, "'--csv' goes with '--stations'"},
        StationArgsRow{"SortWithoutStations", {"--sort", "call", "l"}, "'--sort' goes with"},
        StationArgsRow{"UnknownSort", {"--stations", "--sort", "name", "l"}, "not 'name'"},
        StationArgsRow{"EmptySort", {"--stations", "--sort=", "l"}, "takes last, first, call"},
        StationArgsRow{"SortWithoutValue", {"l", "--stations", "--sort"}, "needs an argument"},
        StationArgsRow{"ChartOfAnotherKind", {"--chart", "a.jpg", "l"}, "ending in .svg or .png"},
        StationArgsRow{"ChartNamedOnlyByItsEnding", {"--chart", "svg", "l"}, "ending in .svg"},
        StationArgsRow{"StationsWithValue", {"--stations=yes", "l"}, "takes no argument"},
        StationArgsRow{"CsvAndJson", {"--stations", "--csv", "--json", "l"}, "do not go together"}),
    [](const auto& p) { return std::string(p.param.name); });

// ---- the program ----

class TempDir {
public:
    TempDir() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("tallix-stations-" + std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return (path_ / name).string();
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

Ran runReport(const TempDir& dir, const std::vector<std::string>& args) {
    const fs::path out = dir.path() / "stdout.txt";
    const fs::path err = dir.path() / "stderr.txt";
    std::string cmd = shellQuoted(TALLIX_REPORT_EXE);
    for (const auto& a : args)
        cmd += " " + shellQuoted(a);
    cmd += " </dev/null >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int raw = std::system(cmd.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out), readBytes(err)};
}

// Own call AB1CD: EF2GH heard direct and via a digipeater, a call cut with a
// comma, a call in 8-bit text, the own frames, and a station never stamped.
const std::string StationLog = "Kest log\r\n"
                               "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                               "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                               "Fm AB1CD>QRST,DIGI >[10:01:10]\r\n"
                               "Fm EF2GH To CQ Via DIGI* >[10:02:00]\r\nhi\r\n"
                               "Fm F\xE9LIX To CQ >[10:01:40]\r\n"
                               "Fm ZZ9ZZ To CQ\r\n";

TEST(StationsProgram, TableNewestLastHeardFirst) {
    TempDir dir;
    const Ran r = runReport(dir, {"--stations", "--call", "AB1CD", dir.write("s.txt", StationLog)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "Call         Frames  First heard  Last heard  Direct  Via digipeater  Own\n"
              "EF2GH             2  10:00:00     10:02:00         1               1\n"
              "F\xC3\xA9LIX             1  10:01:40     10:01:40         1               0\n"
              "AB1CD>QRST,       1  10:01:10     10:01:10         1               0\n"
              "AB1CD             1  10:00:30     10:00:30         1               0  yes\n"
              "ZZ9ZZ             1                                1               0\n");
}

TEST(StationsProgram, SortOrders) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"first", "EF2GH,AB1CD,AB1CD>QRST,,F\xE9LIX,ZZ9ZZ,"},
        {"call", "AB1CD,AB1CD>QRST,,EF2GH,F\xE9LIX,ZZ9ZZ,"},
        {"count", "EF2GH,AB1CD,AB1CD>QRST,,F\xE9LIX,ZZ9ZZ,"},
        {"last", "EF2GH,F\xE9LIX,AB1CD>QRST,,AB1CD,ZZ9ZZ,"},
    };
    for (const auto& [sort, calls] : rows) {
        const Ran r =
            runReport(dir, {"--stations", "--csv", "--sort", sort, "--call", "AB1CD", log});
        ASSERT_EQ(r.status, 0) << r.err;
        // The first field of each row after the header, unquoted.
        std::string firsts;
        for (std::size_t at = r.out.find("\r\n") + 2; at < r.out.size();) {
            const std::size_t end = r.out.find("\r\n", at);
            std::string row = r.out.substr(at, end - at);
            firsts +=
                row[0] == '"' ? row.substr(1, row.find('"', 1) - 1) : row.substr(0, row.find(','));
            firsts += ",";
            at = end + 2;
        }
        EXPECT_EQ(firsts, calls) << sort;
    }
}

TEST(StationsProgram, CsvKeepsTheBytesAndQuotesCommas) {
    TempDir dir;
    const Ran r =
        runReport(dir, {"--stations", "--csv", "--call", "AB1CD", dir.write("s.txt", StationLog)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                     "EF2GH,2,10:00:00,10:02:00,1,1,no\r\n"
                     "F\xE9LIX,1,10:01:40,10:01:40,1,0,no\r\n"
                     "\"AB1CD>QRST,\",1,10:01:10,10:01:10,1,0,no\r\n"
                     "AB1CD,1,10:00:30,10:00:30,1,0,yes\r\n"
                     "ZZ9ZZ,1,,,1,0,no\r\n");
}

TEST(StationsProgram, JsonGainsStationsAndActivityWhenAsked) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const Ran plain = runReport(dir, {"--json", "--call", "AB1CD", log});
    const Ran r =
        runReport(dir, {"--json", "--stations", "--sort", "call", "--call", "AB1CD", log});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(plain.out.find("\"stations\""), std::string::npos);
    // The figures as before, the two arrays after them.
    ASSERT_TRUE(plain.out.ends_with("}}\n")) << plain.out;
    EXPECT_TRUE(r.out.starts_with(plain.out.substr(0, plain.out.size() - 2) + ",\"stations\":["))
        << r.out;
    EXPECT_NE(r.out.find("\"stations\":[{\"call\":\"AB1CD\",\"frames\":1,\"direct\":1,"
                         "\"via_digipeater\":0,\"first_heard\":\"10:00:30\",\"last_heard\":"
                         "\"10:00:30\",\"own\":true},{\"call\":\"AB1CD>QRST,\","),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("{\"call\":\"F\xC3\xA9LIX\","), std::string::npos);
    EXPECT_NE(r.out.find("{\"call\":\"ZZ9ZZ\",\"frames\":1,\"direct\":1,\"via_digipeater\":0,"
                         "\"first_heard\":\"\",\"last_heard\":\"\",\"own\":false}]"),
              std::string::npos);
    EXPECT_TRUE(r.out.ends_with(
        ",\"activity\":["
        "{\"minute\":600,\"time\":\"10:00\",\"received\":1,\"transmitted\":1,\"digipeated\":0},"
        "{\"minute\":601,\"time\":\"10:01\",\"received\":3,\"transmitted\":0,\"digipeated\":0},"
        "{\"minute\":602,\"time\":\"10:02\",\"received\":1,\"transmitted\":0,\"digipeated\":0}]}"
        "\n"))
        << r.out;
}

TEST(StationsProgram, FailedRunPrintsNoTable) {
    TempDir dir;
    const Ran r = runReport(dir, {"--stations", "--chart", (dir.path() / "c.svg").string(),
                                  "--call", "A", (dir.path() / "gone.txt").string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(dir.path() / "c.svg"));
}

// ---- the chart ----

// Two received headers in each of ten minutes, 10:00 to 10:09.
std::string steadyLog() {
    std::string log = "Kest log\r\n";
    char line[64];
    for (int minute = 0; minute < 10; ++minute)
        for (int second : {5, 35}) {
            std::snprintf(line, sizeof line, "Fm EF2GH To CQ >[10:%02d:%02d]\r\n", minute, second);
            log += line;
        }
    return log;
}

// A PNG as our writer makes it: chunks, and a zlib stream of stored blocks.
struct Picture {
    std::uint32_t width = 0, height = 0;
    std::vector<Rgb> palette;
    std::string rows; // each with its filter byte
    Rgb at(std::uint32_t x, std::uint32_t y) const {
        const auto index = static_cast<unsigned char>(rows.at(y * (width + 1) + 1 + x));
        return palette.at(index);
    }
};

std::uint32_t bigEndian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
    return v;
}

Picture readPicture(const std::string& png) {
    Picture p;
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::string zlib;
    for (std::size_t at = 8; at < png.size();) {
        const std::uint32_t n = bigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        const std::string data = png.substr(at + 8, n);
        const auto* bytes = reinterpret_cast<const unsigned char*>(png.data() + at + 4);
        EXPECT_EQ(bigEndian(png, at + 8 + n), crc32(bytes, n + 4)) << type;
        if (type == "IHDR") {
            p.width = bigEndian(data, 0);
            p.height = bigEndian(data, 4);
            EXPECT_EQ(data.substr(8), "\x08\x03\x00\x00\x00"s);
        } else if (type == "PLTE") {
            for (std::size_t i = 0; i + 2 < data.size(); i += 3)
                p.palette.push_back({static_cast<std::uint8_t>(data[i]),
                                     static_cast<std::uint8_t>(data[i + 1]),
                                     static_cast<std::uint8_t>(data[i + 2])});
        } else if (type == "IDAT") {
            zlib += data;
        }
        at += 12 + n;
    }
    bool last = false;
    for (std::size_t at = 2; !last;) {
        const auto head = static_cast<unsigned char>(zlib.at(at));
        EXPECT_EQ(head & 6, 0) << "not a stored block";
        last = head & 1;
        const std::size_t len =
            static_cast<unsigned char>(zlib.at(at + 1)) |
            static_cast<std::size_t>(static_cast<unsigned char>(zlib.at(at + 2))) << 8;
        p.rows += zlib.substr(at + 5, len);
        at += 5 + len;
    }
    EXPECT_EQ(bigEndian(zlib, zlib.size() - 4),
              adler32(reinterpret_cast<const unsigned char*>(p.rows.data()), p.rows.size()));
    return p;
}

TEST(ActivityChart, ChecksumsOfTheStandardCheckTexts) {
    const std::string nine = "123456789";
    EXPECT_EQ(crc32(reinterpret_cast<const unsigned char*>(nine.data()), nine.size()), 0xCBF43926u);
    const std::string wiki = "Wikipedia";
    EXPECT_EQ(adler32(reinterpret_cast<const unsigned char*>(wiki.data()), wiki.size()),
              0x11E60398u);
}

TEST(ActivityChart, PngShowsTheReceivedArea) {
    TempDir dir;
    const fs::path chart = dir.path() / "chart.PNG";
    const Ran r = runReport(
        dir, {"--chart", chart.string(), "--call", "AB1CD", dir.write("s.txt", steadyLog())});
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture p = readPicture(readBytes(chart));
    ASSERT_EQ(p.width, static_cast<std::uint32_t>(ChartWidth));
    ASSERT_EQ(p.height, static_cast<std::uint32_t>(ChartHeight));
    ASSERT_EQ(p.rows.size(), (p.width + 1) * p.height);
    const Rgb white{0xFF, 0xFF, 0xFF};
    EXPECT_EQ(p.at(2, 2), white);
    EXPECT_EQ(p.at(ChartWidth - 2, ChartHeight - 2), white);
    // Two headers a minute all along: the plot's middle lies in the area.
    EXPECT_EQ(p.at(ChartWidth / 2, ChartHeight / 2), (Rgb{0xC4, 0xD6, 0xF4}));
}

TEST(ActivityChart, SvgLabelsTheTimeAxis) {
    TempDir dir;
    const fs::path chart = dir.path() / "chart.svg";
    const Ran r = runReport(
        dir, {"--chart", chart.string(), "--call", "AB1CD", dir.write("s.txt", steadyLog())});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = readBytes(chart);
    EXPECT_TRUE(svg.starts_with("<?xml")) << svg;
    EXPECT_TRUE(svg.ends_with("</svg>\n"));
    for (const char* label : {">10:00<", ">10:05<", ">received<", ">own transmitted<", ">2<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    EXPECT_EQ(svg.find("No time stamps"), std::string::npos);

    const std::string empty = activityChartSvg(analysis::ActivitySeries{});
    EXPECT_NE(empty.find(">No time stamps in this log<"), std::string::npos);
}

TEST(ActivityChart, UnwritableFileFailsTheRun) {
    TempDir dir;
    const std::string nowhere = (dir.path() / "no-such-folder" / "c.svg").string();
    const Ran r =
        runReport(dir, {"--chart", nowhere, "--call", "AB1CD", dir.write("s.txt", steadyLog())});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the chart to " + nowhere), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Total received headers: 20\n"), std::string::npos) << r.out;
}

} // namespace
} // namespace tallix::report
