#pragma once
// The digipeater paths in the "Heard stations" window: the "Paths" view (per
// station its paths with their figures, per digipeater its figures) and the
// "Graph" view (the path graph as Graphviz draws it, shown as SVG).

#include <QWidget>

#include <string>
#include <vector>

#include "analysis/station_paths.h"

class QLabel;
class QScrollArea;
class QSvgWidget;
class QTableWidget;

namespace tallix::ui {

class PathsView : public QWidget {
    Q_OBJECT

public:
    explicit PathsView(QWidget* parent = nullptr);
    void setPaths(const std::vector<analysis::PathRecord>& paths);

private:
    QTableWidget* paths_ = nullptr;
    QTableWidget* digipeaters_ = nullptr;
};

class GraphView : public QWidget {
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);
    // The graph of a run; drawn when the view is first shown, since a large
    // log's graph takes Graphviz a while.
    void setGraph(std::vector<analysis::PathRecord> paths, std::string ownStation);
    const std::vector<analysis::PathRecord>& paths() const { return paths_; }
    const std::string& ownStation() const { return ownStation_; }
    // The drawing shown, drawn now if it was not yet; empty when it failed.
    const std::string& svg();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void draw();

    std::vector<analysis::PathRecord> paths_;
    std::string ownStation_;
    bool drawn_ = false;
    std::string svg_;
    QScrollArea* area_ = nullptr;
    QSvgWidget* picture_ = nullptr;
    QLabel* failure_ = nullptr;
};

} // namespace tallix::ui
