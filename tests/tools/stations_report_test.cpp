// tallix-report's station table, its CSV and JSON forms, and the activity
// chart as SVG and PNG.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "report/activity_chart.h"
#include "report/png_writer.h"
#include "tools/run_report.h"

namespace tallix::report {
namespace {

using namespace std::string_literals;
using testsupport::readBytes;
using testsupport::runReport;
using testsupport::TempDir;

// Own call AB1CD: EF2GH heard direct and via a digipeater, a call holding a
// quote and a comma, one in 8-bit text, and a station never stamped.
const std::string StationLog = "Kest log\r\n"
                               "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                               "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                               "Fm Q\"RS,TU To CQ >[10:01:10]\r\n"
                               "Fm EF2GH To CQ Via DIGI* >[10:02:00]\r\nhi\r\n"
                               "Fm F\xE9LIX To CQ >[10:01:40]\r\n"
                               "Fm ZZ9ZZ To CQ\r\n";

TEST(StationsProgram, TableCsvAndJson) {
    TempDir dir;
    const std::string log = dir.write("s.txt", StationLog);
    const auto text = runReport(dir, {"--stations", "--call", "AB1CD", log});
    EXPECT_EQ(text.out, "Call     Frames  First heard  Last heard  Direct  Via digipeater  Own\n"
                        "EF2GH         2  10:00:00     10:02:00         1               1\n"
                        "F\xC3\xA9LIX         1  10:01:40     10:01:40         1               0\n"
                        "Q\"RS,TU       1  10:01:10     10:01:10         1               0\n"
                        "AB1CD         1  10:00:30     10:00:30         1               0  yes\n"
                        "ZZ9ZZ         1                                1               0\n");
    // Oldest first heard first; the call with a quote and a comma quoted.
    const auto csv =
        runReport(dir, {"--stations", "--csv", "--sort", "first", "--call", "AB1CD", log});
    EXPECT_EQ(csv.out, "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                       "EF2GH,2,10:00:00,10:02:00,1,1,no\r\n"
                       "AB1CD,1,10:00:30,10:00:30,1,0,yes\r\n"
                       "\"Q\"\"RS,TU\",1,10:01:10,10:01:10,1,0,no\r\n"
                       "F\xE9LIX,1,10:01:40,10:01:40,1,0,no\r\n"
                       "ZZ9ZZ,1,,,1,0,no\r\n");
    const auto json = runReport(dir, {"--json", "--stations", "--call", "AB1CD", log});
    for (const char* part :
         {",\"stations\":[{\"call\":\"EF2GH\",\"frames\":2,\"direct\":1,\"via_digipeater\":1,"
          "\"first_heard\":\"10:00:00\",\"last_heard\":\"10:02:00\",\"own\":false},",
          "{\"call\":\"Q\\\"RS,TU\",", "\"last_heard\":\"\",\"own\":false}],\"activity\":[",
          "{\"minute\":601,\"time\":\"10:01\",\"received\":3,\"transmitted\":0,\"digipeated\":0}"})
        EXPECT_TRUE(json.outHas(part)) << part << "\n" << json.out;
}

const unsigned char* bytesOf(const std::string& s, std::size_t at = 0) {
    return reinterpret_cast<const unsigned char*>(s.data() + at);
}

std::uint32_t bigEndian(const std::string& s, std::size_t at) {
    return std::uint32_t{bytesOf(s, at)[0]} << 24 | std::uint32_t{bytesOf(s, at)[1]} << 16 |
           std::uint32_t{bytesOf(s, at)[2]} << 8 | bytesOf(s, at)[3];
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

TEST(ActivityChart, PngAndSvgFilesNoneAfterAFailureAndAnUnwritableOneFails) {
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
    for (const char* label : {">10:02<", ">own transmitted<", ">3<"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    EXPECT_NE(activityChartSvg({}).find(">No time stamps in this log<"), std::string::npos);

    const auto gone = runReport(
        dir, {"--stations", "--chart", dir.path("n.svg"), "--call", "A", dir.path("gone.txt")});
    EXPECT_TRUE(gone.status == 1 && gone.out.empty() &&
                !std::filesystem::exists(dir.path("n.svg")));
    const auto r = runReport(dir, {"--chart", dir.path("no/c.svg"), log});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errHas("cannot write the chart to " + dir.path("no/c.svg"))) << r.err;
}

} // namespace
} // namespace tallix::report
