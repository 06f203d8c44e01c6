#pragma once
// The activity chart of the last run on the screen: received headers, own
// transmitted and own digipeated frames per minute, over a labelled time axis,
// painted as the saved chart is (chart/activity_chart_painter.h).

#include <QWidget>

#include "analysis/station_stats.h"

namespace tallix::ui {

class ActivityChart : public QWidget {
    Q_OBJECT

public:
    explicit ActivityChart(QWidget* parent = nullptr);

    void setSeries(analysis::ActivitySeries series);
    const analysis::ActivitySeries& series() const { return series_; }

    QSize sizeHint() const override { return {640, 220}; }
    QSize minimumSizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    analysis::ActivitySeries series_;
};

} // namespace tallix::ui
