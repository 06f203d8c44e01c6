#include "ui/activity_chart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tallix::ui {

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

ActivityChart::ActivityChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ActivityChart"));
}

void ActivityChart::setSeries(analysis::ActivitySeries series) {
    series_ = std::move(series);
    update();
}

void ActivityChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect());
}

void ActivityChart::paint(QPainter& painter, const QRect& area) const {
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setFont(font());
    const QFontMetrics metrics(font());
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

    const analysis::ValueAxis values = analysis::valueAxis(series_.peak(), 4);
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
    const double minutes = static_cast<double>(std::max<std::size_t>(series_.minutes.size(), 1));
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

    if (series_.empty()) {
        painter.setPen(QColor(0x60, 0x60, 0x60));
        painter.drawText(plot, Qt::AlignCenter, QStringLiteral("No time stamps in this log"));
    } else {
        const int maxTicks = std::max(2, static_cast<int>(plot.width()) / 60);
        painter.setPen(Qt::black);
        for (const analysis::AxisTick& tick : analysis::timeTicks(series_, maxTicks)) {
            const double tx = xAt(static_cast<double>(tick.value - series_.firstMinute));
            painter.drawLine(QPointF(tx, plot.bottom()), QPointF(tx, plot.bottom() + 4));
            painter.drawText(QRectF(tx - 30, plot.bottom() + 5, 60, line), Qt::AlignCenter,
                             QString::fromStdString(tick.label));
        }
        // Each figure as a step line: level across its minute, upright between.
        // With more minutes than pixels, a step covers a pixel's worth of
        // minutes at the highest figure among them, so that a long log draws
        // as fast as a short one and no peak is lost.
        const std::size_t count = series_.minutes.size();
        const std::size_t stepsDrawn =
            std::min(count, static_cast<std::size_t>(std::max(1.0, plot.width())));
        auto steps = [&](std::int32_t ActivityMinute::*figure) {
            QPainterPath path;
            for (std::size_t step = 0; step < stepsDrawn; ++step) {
                const std::size_t from = step * count / stepsDrawn;
                const std::size_t to = (step + 1) * count / stepsDrawn;
                std::int32_t highest = 0;
                for (std::size_t i = from; i < to; ++i)
                    highest = std::max(highest, series_.minutes[i].*figure);
                const double y = yAt(highest);
                const double left = xAt(static_cast<double>(from));
                if (step == 0)
                    path.moveTo(left, y);
                else
                    path.lineTo(left, y);
                path.lineTo(xAt(static_cast<double>(to)), y);
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

} // namespace tallix::ui
