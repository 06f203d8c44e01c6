#pragma once
// The "Heard stations" window: every station of the last analysis run in a
// sortable table with the run's activity chart, the stations' digipeater
// paths, and the graph of who is heard through whom; saving the table, the
// chart and the graph. Modeless; the main window hands it each concluded run.

#include <QWidget>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/station_stats.h"

class QLabel;
class QPushButton;
class QTableView;

namespace tallix::ui {

class ActivityChart;
class GraphView;
class PathsView;
class Prompts;
class StationTableModel;

class HeardStationsWindow : public QWidget {
    Q_OBJECT

public:
    explicit HeardStationsWindow(Prompts& prompts, QWidget* parent = nullptr);
    ~HeardStationsWindow() override;

    // The figures of a concluded run over `sourceFile`; the table keeps the
    // order the user chose.
    void setRun(std::vector<analysis::StationRecord> stations, analysis::ActivitySeries activity,
                std::vector<analysis::PathRecord> paths, std::string sourceFile);
    // The order the window opens in: last heard, newest first.
    void sortByLastHeard();
    // The stations in the table's order.
    const std::vector<analysis::StationRecord>& shownStations() const;

    void saveCsv();
    void saveChart();
    // The graph is made in the background; graphSaved() tells when it is
    // written (or its failure reported).
    void saveGraph();

signals:
    void graphSaved();

private:
    // The chosen path, or nothing when the dialog was cancelled or an
    // existing file is not to be replaced. It proposes the log's name with
    // `namePart` and `suffix`, beside the log.
    std::optional<std::string> askPath(const char* title, const char* namePart, const char* suffix,
                                       std::vector<std::pair<std::string, std::string>> filters);
    void reportWriteFailure(const std::string& path);

    Prompts& prompts_;
    std::string sourceFile_;
    StationTableModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    ActivityChart* chart_ = nullptr;
    PathsView* paths_ = nullptr;
    GraphView* graph_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* saveCsv_ = nullptr;
    QPushButton* saveChart_ = nullptr;
    QPushButton* saveGraph_ = nullptr;
};

} // namespace tallix::ui
