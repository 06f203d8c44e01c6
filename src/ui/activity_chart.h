#pragma once
// The activity chart of the last run: received headers, own transmitted and
// own digipeated frames per minute, over a labelled time axis.

#include <QWidget>

#include "analysis/station_stats.h"

namespace tallix::ui {

class ActivityChart : public QWidget {
    Q_OBJECT

public:
    explicit ActivityChart(QWidget* parent = nullptr);

    void setSeries(analysis::ActivitySeries series);
    const analysis::ActivitySeries& series() const { return series_; }

    // Draws the chart into `area`: on the screen, and into the picture that
    // "Save chart..." writes.
    void paint(QPainter& painter, const QRect& area) const;

    QSize sizeHint() const override { return {640, 220}; }
    QSize minimumSizeHint() const override { return {320, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    analysis::ActivitySeries series_;
};

} // namespace tallix::ui
