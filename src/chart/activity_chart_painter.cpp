#include "chart/activity_chart_painter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>

namespace tallix::chart {

namespace {

using analysis::ActivityMinute;

struct SeriesLook {
    const char* name;
    QColor colour;
    std::int32_t ActivityMinute::*figure;
};

// Drawn in this order: the received area first, own frames on top.
const SeriesLook Looks[] = {
    {"received", QColor(0x30, 0x60, 0xC0), &ActivityMinute::received},
    {"own digipeated", QColor(0x20, 0xA0, 0x40), &ActivityMinute::digipeated},
    {"own transmitted", QColor(0xD0, 0x30, 0x30), &ActivityMinute::transmitted},
};
const QColor ReceivedFill(0xC4, 0xD6, 0xF4);

} // namespace

void paintActivityChart(QPainter& painter, const QRect& area,
                        const analysis::ActivitySeries& series) {
    painter.save();
    painter.fillRect(area, Qt::white);
    const QFontMetrics metrics(painter.font());
    const int line = metrics.height();

    // The legend across the top.
    int x = area.left() + 8;
    const int legendY = area.top() + 4;
    for (const SeriesLook& look : Looks) {
        painter.fillRect(QRect(x, legendY + (line - 10) / 2, 10, 10), look.colour);
        const QString name = QString::fromLatin1(look.name);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(x + 14, legendY + metrics.ascent()), name);
        x += 14 + metrics.horizontalAdvance(name) + 16;
    }

    const analysis::ValueAxis values = analysis::valueAxis(series.peak(), 4);
    const int labelWidth = metrics.horizontalAdvance(QString::number(values.top)) + 10;
    // Below the plot: the time labels, then the axis caption.
    const double plotTop = legendY + line + 8;
    const double plotBottom = area.bottom() - (2 * line + 10);
    const QRectF plot(area.left() + labelWidth, plotTop, area.width() - labelWidth - 12,
                      plotBottom - plotTop);
    if (plot.width() < 10 || plot.height() < 10) {
        painter.restore();
        return;
    }
    const double minutes = static_cast<double>(std::max<std::size_t>(series.minutes.size(), 1));
    auto xAt = [&](double i) { return plot.left() + plot.width() * i / minutes; };
    auto yAt = [&](double v) { return plot.bottom() - plot.height() * v / values.top; };

    for (const analysis::AxisTick& tick : values.ticks) {
        const double y = yAt(static_cast<double>(tick.value));
        painter.setPen(QColor(0xE0, 0xE0, 0xE0));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), y - line / 2.0, labelWidth - 6, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::fromStdString(tick.label));
    }

    if (series.empty()) {
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No time stamps in this log"));
    } else {
        const int maxTicks = std::max(2, static_cast<int>(plot.width()) / 60);
        painter.setPen(Qt::black);
        for (const analysis::AxisTick& tick : analysis::timeTicks(series, maxTicks)) {
            const double tx = xAt(static_cast<double>(tick.value - series.firstMinute));
            painter.drawLine(QPointF(tx, plot.bottom()), QPointF(tx, plot.bottom() + 4));
            painter.drawText(QRectF(tx - 30, plot.bottom() + 5, 60, line), Qt::AlignCenter,
                             QString::fromStdString(tick.label));
        }
        // Each figure as a step line: level across its steps, upright between.
        const auto columns = static_cast<std::size_t>(std::max(1.0, plot.width()));
        auto steps = [&](std::int32_t ActivityMinute::*figure) {
            QPainterPath path;
            for (const analysis::ChartStep& step : analysis::chartSteps(series, figure, columns)) {
                const double y = yAt(step.value);
                const double left = xAt(static_cast<double>(step.from));
                if (step.from == 0)
                    path.moveTo(left, y);
                else
                    path.lineTo(left, y);
                path.lineTo(xAt(static_cast<double>(step.to)), y);
            }
            return path;
        };
        QPainterPath filled = steps(Looks[0].figure);
        filled.lineTo(plot.right(), plot.bottom());
        filled.lineTo(plot.left(), plot.bottom());
        filled.closeSubpath();
        painter.fillPath(filled, ReceivedFill);
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (const SeriesLook& look : Looks) {
            painter.setPen(QPen(look.colour, 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(steps(look.figure));
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    painter.setPen(Qt::black);
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.setPen(QColor(0x60, 0x60, 0x60));
    painter.drawText(QRectF(plot.left(), plot.bottom() + 5 + line, plot.width(), line),
                     Qt::AlignCenter, QStringLiteral("time (HH:MM)"));
    painter.restore();
}

QByteArray activityChartPicture(const analysis::ActivitySeries& series, PictureFormat format,
                                const QFont& font) {
    const QRect area(QPoint(0, 0), PictureSize);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(PictureSize);
        svg.setViewBox(area);
        svg.setTitle(QStringLiteral("Activity per minute"));
        QPainter painter;
        if (!painter.begin(&svg))
            return {};
        painter.setFont(font);
        paintActivityChart(painter, area, series);
        if (!painter.end())
            return {};
    } else {
        QImage image(PictureSize, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setFont(font);
        paintActivityChart(painter, area, series);
        painter.end();
        if (!image.save(&buffer, "PNG"))
            return {};
    }
    return bytes;
}

} // namespace tallix::chart
