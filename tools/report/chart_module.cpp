// tallix-report-chart.so: the activity chart painted for tallix-report, which
// loads this module only when a chart is asked for. Qt runs here on the
// offscreen platform, so no display is needed.

#include <QGuiApplication>

#include <cstdio>
#include <type_traits>

#include "chart/activity_chart_painter.h"
#include "chart_file.h"

namespace {

// Qt's notes (about the platform, fonts and the like) are not the tool's to
// print; only what ends the painting is.
void grave(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "tallix-report: %s\n", message.toLocal8Bit().constData());
}

} // namespace

extern "C" __attribute__((visibility("default"))) int
tallix_report_chart(std::int64_t firstMinute, const tallix::analysis::ActivityMinute* minutes,
                    std::size_t count, int png, tallix::report::ChartSink sink, void* context) {
    static_assert(std::is_same_v<decltype(&tallix_report_chart), tallix::report::ChartEntry>);
    qInstallMessageHandler(grave);
    static char program[] = "tallix-report";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, platformOption, platform, nullptr};
    static int argc = 3;
    const QGuiApplication application(argc, argv);

    tallix::analysis::ActivitySeries series;
    series.firstMinute = firstMinute;
    series.minutes.assign(minutes, minutes + count);
    const QByteArray picture = tallix::chart::activityChartPicture(
        series, png ? tallix::chart::PictureFormat::Png : tallix::chart::PictureFormat::Svg);
    if (picture.isEmpty())
        return 1;
    sink(context, picture.constData(), static_cast<std::size_t>(picture.size()));
    return 0;
}
