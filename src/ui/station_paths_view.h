#pragma once
// The digipeater paths in the "Heard stations" window: the "Paths" view (per
// station its paths with their figures, per digipeater its figures) and the
// "Graph" view (the path graph as Graphviz draws it, shown as SVG).

#include <QFuture>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "analysis/station_paths.h"
#include "graph/path_graph.h"

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

// The graph of `paths` made on the one thread that uses Graphviz, so that the
// window goes on meanwhile and no two drawings use Graphviz at once.
using SharedPaths = std::shared_ptr<const std::vector<analysis::PathRecord>>;
QFuture<graph::GraphFile> graphInBackground(SharedPaths paths, std::string ownStation,
                                            graph::GraphFormat format);

class GraphView : public QWidget {
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);
    // The graph of a run; drawn when the view is first shown, in the
    // background, since a large log's graph takes Graphviz a while. A drawing
    // of an earlier graph still under way is thrown away when it ends.
    void setGraph(std::vector<analysis::PathRecord> paths, std::string ownStation);
    const SharedPaths& paths() const { return paths_; }
    const std::string& ownStation() const { return ownStation_; }
    // The drawing shown; empty while it is not drawn yet, or when that failed.
    const std::string& svg() const { return svg_; }

signals:
    // The drawing of the current graph is shown (or its failure).
    void drawn();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void draw();
    void showDrawing(const graph::GraphFile& file);

    SharedPaths paths_ = std::make_shared<const std::vector<analysis::PathRecord>>();
    std::string ownStation_;
    // Counts the graphs set: a drawing that ends for an older one is dropped.
    unsigned generation_ = 0;
    bool started_ = false; // the current graph's drawing is under way or done
    std::string svg_;
    QScrollArea* area_ = nullptr;
    QSvgWidget* picture_ = nullptr;
    QLabel* drawing_ = nullptr;
    QLabel* failure_ = nullptr;
};

} // namespace tallix::ui
