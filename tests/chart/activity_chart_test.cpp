// The activity chart as tallix-report writes it and the window saves it: the
// PNG read back with QImage, the SVG drawn again by QSvgRenderer, and the bars
// measured in pixel columns.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "chart/activity_chart_painter.h"
#include "run_process.h"

namespace tallix::chart {
namespace {

using testsupport::readBytes;
using testsupport::runReport;
using testsupport::TempDir;

// Received headers are drawn in blue: the area's fill and its line, whose
// antialiased edges blend with white. Nothing else in the plot is as blue.
bool receivedInk(QRgb pixel) {
    return qBlue(pixel) > qRed(pixel) + 40 && qBlue(pixel) > qGreen(pixel) + 10;
}

// Where the received area is tallest, and how tall it is there and at its
// lowest filled column: each pixel column of the plot (below the legend) from
// its lowest blue pixel up to its highest.
struct Profile {
    double tallestAt = 0; // as a share of the image's width
    int tallest = 0, lowest = 0;
};
Profile profileOf(const QImage& image) {
    constexpr int BelowLegend = 28;
    Profile p{0, 0, image.height()};
    for (int x = 0; x < image.width(); ++x) {
        int top = -1, bottom = -1;
        for (int y = BelowLegend; y < image.height(); ++y)
            if (receivedInk(image.pixel(x, y))) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        const int height = top < 0 ? 0 : bottom - top + 1;
        if (height > p.tallest)
            p = {static_cast<double>(x) / image.width(), height, p.lowest};
        if (height > 0)
            p.lowest = std::min(p.lowest, height);
    }
    return p;
}

QImage readPng(const std::string& path) {
    return QImage(QString::fromStdString(path), "PNG").convertToFormat(QImage::Format_RGB32);
}

QImage drawnSvg(const std::string& path) {
    QSvgRenderer svg(QString::fromStdString(path));
    EXPECT_TRUE(svg.isValid()) << path;
    // Drawn at the size of its view box, the picture's pixels.
    QImage image(svg.viewBox().size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    svg.render(&painter);
    return image;
}

// A log stamped once a minute from 00:00, `frames[i]` received headers in
// minute i.
std::string logOf(const std::vector<int>& frames) {
    std::string log = "Kest log\r\n";
    for (std::size_t minute = 0; minute < frames.size(); ++minute) {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%02zu:%02zu:00", minute / 60 % 24, minute % 60);
        for (int i = 0; i < frames[minute]; ++i)
            log += std::string("Fm EF2GH To CQ >[") + stamp + "]\r\nhi\r\n";
    }
    return log;
}

// One minute's peak among more minutes than pixel columns stands where its
// minute is, in the PNG and the SVG alike, and the tool's PNG is the window's
// painting.
TEST(ActivityChartFile, BarsStandWhereTheirMinutesAreInPngAndSvgAlike) {
    std::vector<int> frames(1500, 1);
    frames[1000] = 20;
    TempDir dir;
    const std::string log = dir.write("s.txt", logOf(frames));
    for (const char* name : {"c.PNG", "c.svg"}) {
        const auto ran = runReport(dir, {"--chart", dir.path(name), "--call", "AB1CD", log});
        EXPECT_TRUE(ran.status == 0 && ran.err.empty()) << name << ": " << ran.err;
    }
    const QImage png = readPng(dir.path("c.PNG"));
    analysis::ActivitySeries series;
    for (const int n : frames)
        series.minutes.push_back({n, 0, 0});
    EXPECT_TRUE(png == QImage::fromData(activityChartPicture(series, PictureFormat::Png))
                           .convertToFormat(QImage::Format_RGB32));
    for (const auto& [format, image] :
         {std::pair{"PNG", png}, {"SVG", drawnSvg(dir.path("c.svg"))}}) {
        SCOPED_TRACE(format);
        ASSERT_EQ(image.size(), PictureSize);
        const Profile p = profileOf(image);
        EXPECT_GT(p.tallestAt, 0.60);
        EXPECT_LT(p.tallestAt, 0.75);
        EXPECT_GE(p.tallest, 10 * p.lowest) << p.tallest << " over " << p.lowest;
    }
}

TEST(ActivityChartFile, NoFileAfterAFailure) {
    TempDir dir;
    const std::string log = dir.write("s.txt", "Kest log\r\nFm EF2GH To CQ\r\n");
    const auto gone = runReport(
        dir, {"--stations", "--chart", dir.path("n.svg"), "--call", "A", dir.path("gone.txt")});
    EXPECT_TRUE(gone.status == 1 && gone.out.empty() &&
                !std::filesystem::exists(dir.path("n.svg")));
    const auto r = runReport(dir, {"--chart", dir.path("no/c.svg"), log});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errHas("cannot write the chart to " + dir.path("no/c.svg"))) << r.err;
}

// Without a display: the tool starts Qt on the offscreen platform itself.
TEST(ActivityChartFile, NeedsNoDisplay) {
    TempDir dir;
    const std::string log = dir.write("s.txt", logOf({1, 2}));
    const std::string cmd = std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '") +
                            TALLIX_REPORT_EXE + "' --call A --chart '" + dir.path("c.png") + "' '" +
                            log + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(readPng(dir.path("c.png")).size(), PictureSize);
}

} // namespace
} // namespace tallix::chart

int main(int argc, char** argv) {
    // Also when the tests are listed at build time, with no display about.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
