#include "ui/activity_chart.h"

#include <QPainter>

#include "chart/activity_chart_painter.h"

namespace tallix::ui {

ActivityChart::ActivityChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ActivityChart"));
}

void ActivityChart::setSeries(analysis::ActivitySeries series) {
    series_ = std::move(series);
    update();
}

void ActivityChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    chart::paintActivityChart(painter, rect(), series_);
}

} // namespace tallix::ui
