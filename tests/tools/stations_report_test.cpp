// tallix-report's station table, its CSV and JSON forms, and the activity
// chart as SVG and PNG.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/test_support.h"
#include "report/activity_chart.h"
#include "report/png_writer.h"

namespace tallix::report {
namespace {

using namespace std::string_literals;
using testsupport::readBytes;
using testsupport::TempDir;

struct Ran {
    int status;
    std::string out, err;
};

// No argument here holds a single quote.
Ran runReport(const TempDir& dir, const std::vector<std::string>& args) {
    std::string cmd = "'"s + TALLIX_REPORT_EXE + "'";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    const int raw = std::system(
        (cmd + " </dev/null >'" + dir.path("out") + "' 2>'" + dir.path("err") + "'").c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(dir.path("out")),
            readBytes(dir.path("err"))};
}

// Own call AB1CD: EF2GH heard direct and via a digipeater, a call holding a
// quote and a comma, one in 8-bit text, and a station never stamped.
const std::string StationLog = "Kest log\r\n"
                               "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                               "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                               "Fm Q\"RS,TU To CQ >[10:01:10]\r\n"
                               "Fm EF2GH To CQ Via DIGI* >[10:02:00]\r\nhi\r\n"
                               "Fm F\xE9LIX To CQ >[10:01:40]\r\n"
                               "Fm ZZ9ZZ To CQ\r\n";

TEST(StationsProgram, TableCsvAndJsonInEachOrder) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const Ran text = runReport(dir, {"--stations", "--call", "AB1CD", log});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, "Call     Frames  First heard  Last heard  Direct  Via digipeater  Own\n"
                        "EF2GH         2  10:00:00     10:02:00         1               1\n"
                        "F\xC3\xA9LIX         1  10:01:40     10:01:40         1               0\n"
                        "Q\"RS,TU       1  10:01:10     10:01:10         1               0\n"
                        "AB1CD         1  10:00:30     10:00:30         1               0  yes\n"
                        "ZZ9ZZ         1                                1               0\n");
    const Ran csv =
        runReport(dir, {"--stations", "--csv", "--sort", "last", "--call", "AB1CD", log});
    EXPECT_EQ(csv.out, "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                       "EF2GH,2,10:00:00,10:02:00,1,1,no\r\n"
                       "F\xE9LIX,1,10:01:40,10:01:40,1,0,no\r\n"
                       "\"Q\"\"RS,TU\",1,10:01:10,10:01:10,1,0,no\r\n"
                       "AB1CD,1,10:00:30,10:00:30,1,0,yes\r\n"
                       "ZZ9ZZ,1,,,1,0,no\r\n");
    for (const auto& [sort, calls] : std::vector<std::pair<std::string, std::string>>{
             {"first", "EF2GH AB1CD Q\"RS,TU F\xC3\xA9LIX ZZ9ZZ "},
             {"call", "AB1CD EF2GH F\xC3\xA9LIX Q\"RS,TU ZZ9ZZ "},
             {"count", "EF2GH AB1CD F\xC3\xA9LIX Q\"RS,TU ZZ9ZZ "}}) {
        std::istringstream rows(runReport(dir, {"--stations", "--sort", sort, log}).out);
        std::string row, firsts;
        for (std::getline(rows, row); std::getline(rows, row);)
            firsts += row.substr(0, row.find(' ')) + " ";
        EXPECT_EQ(firsts, calls) << sort;
    }
    const Ran json =
        runReport(dir, {"--json", "--stations", "--sort", "call", "--call", "AB1CD", log});
    for (const char* part :
         {",\"stations\":[{\"call\":\"AB1CD\",\"frames\":1,\"direct\":1,\"via_digipeater\":0,"
          "\"first_heard\":\"10:00:30\",\"last_heard\":\"10:00:30\",\"own\":true},{\"call\":"
          "\"EF2GH\"",
          "{\"call\":\"F\xC3\xA9LIX\",", "{\"call\":\"Q\\\"RS,TU\",",
          "\"first_heard\":\"\",\"last_heard\":\"\",\"own\":false}],\"activity\":["
          "{\"minute\":600,\"time\":\"10:00\",\"received\":1,\"transmitted\":1,\"digipeated\":0},"
          "{\"minute\":601,\"time\":\"10:01\",\"received\":3,\"transmitted\":0,\"digipeated\":0},"
          "{\"minute\":602,\"time\":\"10:02\",\"received\":1,\"transmitted\":0,\"digipeated\":0}]}"
          "\n"})
        EXPECT_NE(json.out.find(part), std::string::npos) << part << "\n" << json.out;
}

TEST(StationsProgram, NoTableOrChartAfterAFailureAndAnUnwritableChartFails) {
    TempDir dir;
    const Ran gone = runReport(
        dir, {"--stations", "--chart", dir.path("c.svg"), "--call", "A", dir.path("gone.txt")});
    EXPECT_EQ(gone.status, 1);
    EXPECT_EQ(gone.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.path("c.svg")));

    const std::string nowhere = dir.path("no-such-folder/c.svg");
    const Ran r =
        runReport(dir, {"--chart", nowhere, "--call", "A", dir.write("s.txt", StationLog)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the chart to " + nowhere), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Total received headers: 6\n"), std::string::npos) << r.out;
}

const unsigned char* bytesOf(const std::string& s, std::size_t at = 0) {
    return reinterpret_cast<const unsigned char*>(s.data() + at);
}

std::uint32_t bigEndian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = at; i < at + 4; ++i)
        v = v << 8 | static_cast<unsigned char>(s.at(i));
    return v;
}

// Every element closed, and in order.
bool wellFormedXml(const std::string& xml) {
    std::vector<std::string> open;
    for (std::size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        const std::string tag = xml.substr(at + 1, xml.find('>', at) - at - 1);
        if (tag.starts_with('/') && (open.empty() || "/" + open.back() != tag))
            return false;
        if (tag.starts_with('/'))
            open.pop_back();
        else if (!tag.starts_with('?') && !tag.starts_with('!') && !tag.ends_with('/'))
            open.push_back(tag.substr(0, tag.find(' ')));
    }
    return open.empty();
}

TEST(ActivityChart, PngAndSvgFiles) {
    const std::string nine = "123456789", wiki = "Wikipedia";
    EXPECT_EQ(crc32(bytesOf(nine), nine.size()), 0xCBF43926u);
    EXPECT_EQ(adler32(bytesOf(wiki), wiki.size()), 0x11E60398u);

    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    ASSERT_EQ(runReport(dir, {"--chart", dir.path("c.PNG"), "--call", "A", log}).status, 0);
    const std::string png = readBytes(dir.path("c.PNG"));
    ASSERT_EQ(png.substr(0, 16), "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"s);
    EXPECT_EQ(png.substr(16, 13), "\0\0\x03\xc0\0\0\x01\x68\x08\x03\0\0\0"s); // 960 x 360
    for (std::size_t at = 8; at < png.size(); at += 12 + bigEndian(png, at)) {
        const std::uint32_t n = bigEndian(png, at);
        EXPECT_EQ(bigEndian(png, at + 8 + n), crc32(bytesOf(png, at + 4), n + 4));
    }
    EXPECT_TRUE(png.ends_with("IEND\xae\x42\x60\x82"));

    ASSERT_EQ(runReport(dir, {"--chart", dir.path("c.svg"), "--call", "A", log}).status, 0);
    const std::string svg = readBytes(dir.path("c.svg"));
    EXPECT_TRUE(svg.starts_with("<?xml") && wellFormedXml(svg)) << svg;
    for (const char* label : {">10:00<", ">10:02<", ">received<", ">own transmitted<", ">3<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    EXPECT_NE(activityChartSvg({}).find(">No time stamps in this log<"), std::string::npos);
}

} // namespace
} // namespace tallix::report
