#include "ui/heard_stations_window.h"

#include <QAbstractTableModel>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include "actions/save.h"
#include "chart/activity_chart_painter.h"
#include "graph/path_graph.h"
#include "text/basic_text.h"
#include "ui/activity_chart.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"
#include "ui/station_paths_view.h"
#include "ui/widget_helpers.h"

namespace tallix::ui {

using analysis::StationColumn;
using analysis::StationRecord;

namespace {

constexpr const char* Title = "Heard stations";

struct ColumnLook {
    const char* title;
    bool number;
    Qt::SortOrder firstOrder; // on the first click of its header
};
// In the order of StationColumn.
constexpr ColumnLook Columns[analysis::StationColumnCount] = {
    {"Call", false, Qt::AscendingOrder},        {"Frames", true, Qt::DescendingOrder},
    {"First heard", false, Qt::AscendingOrder}, {"Last heard", false, Qt::DescendingOrder},
    {"Direct", true, Qt::DescendingOrder},      {"Via digipeater", true, Qt::DescendingOrder},
    {"Own", false, Qt::DescendingOrder},
};

bool endsWithInAnyCase(std::string_view path, std::string_view ending) {
    return path.size() >= ending.size() &&
           text::upperCase(path.substr(path.size() - ending.size())) == text::upperCase(ending);
}

} // namespace

// The stations as rows; sorting goes through the core's order of the columns.
class StationTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setStations(std::vector<StationRecord> stations) {
        beginResetModel();
        stations_ = std::move(stations);
        analysis::sortStations(stations_, column_, order_ == Qt::DescendingOrder);
        endResetModel();
    }
    const std::vector<StationRecord>& stations() const { return stations_; }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(stations_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : analysis::StationColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const StationRecord& s = stations_[static_cast<std::size_t>(index.row())];
        if (role == Qt::ToolTipRole)
            return plainTip(fromBytes(analysis::stationSummary(s)));
        if (role == Qt::TextAlignmentRole)
            return Columns[index.column()].number ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                  : int(Qt::AlignLeft | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        switch (static_cast<StationColumn>(index.column())) {
        case StationColumn::Call:
            return fromBytes(s.call);
        case StationColumn::Frames:
            return s.frames;
        case StationColumn::FirstHeard:
            return QString::fromStdString(s.firstHeard());
        case StationColumn::LastHeard:
            return QString::fromStdString(s.lastHeard());
        case StationColumn::Direct:
            return s.direct;
        case StationColumn::ViaDigipeater:
            return s.viaDigipeater;
        case StationColumn::Own:
            return s.own ? QStringLiteral("yes") : QString();
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= analysis::StationColumnCount)
            return {};
        if (role == Qt::DisplayRole)
            return QString::fromLatin1(Columns[section].title);
        if (role == Qt::InitialSortOrderRole)
            return static_cast<int>(Columns[section].firstOrder);
        return {};
    }

    void sort(int column, Qt::SortOrder order) override {
        if (column < 0 || column >= analysis::StationColumnCount)
            return;
        column_ = static_cast<StationColumn>(column);
        order_ = order;
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        // Selected rows follow their station to its new place.
        const QModelIndexList before = persistentIndexList();
        std::vector<std::string> calls;
        for (const QModelIndex& i : before)
            calls.push_back(stations_[static_cast<std::size_t>(i.row())].call);
        analysis::sortStations(stations_, column_, order_ == Qt::DescendingOrder);
        std::unordered_map<std::string_view, int> rowOf;
        for (std::size_t r = 0; r < stations_.size(); ++r)
            rowOf.emplace(stations_[r].call, static_cast<int>(r));
        QModelIndexList after;
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(rowOf.at(calls[static_cast<std::size_t>(i)]), before[i].column()));
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    std::vector<StationRecord> stations_;
    StationColumn column_ = StationColumn::LastHeard;
    Qt::SortOrder order_ = Qt::DescendingOrder;
};

HeardStationsWindow::HeardStationsWindow(Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts_(prompts) {
    setObjectName(QStringLiteral("HeardStations"));
    setWindowTitle(QString::fromLatin1(Title));

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("StationCount"));
    count_->setTextFormat(Qt::PlainText);

    model_ = new StationTableModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("StationTable"));
    table_->setModel(model_);
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->hide();
    // The columns share the width: no column hides behind a scroll bar.
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    sortByLastHeard();

    chart_ = new ActivityChart(this);
    paths_ = new PathsView(this);
    paths_->setObjectName(QStringLiteral("PathsView"));
    graph_ = new GraphView(this);
    graph_->setObjectName(QStringLiteral("GraphView"));

    saveCsv_ = new QPushButton(QStringLiteral("Save as CSV..."), this);
    saveCsv_->setObjectName(QStringLiteral("SaveCsv"));
    saveChart_ = new QPushButton(QStringLiteral("Save chart..."), this);
    saveChart_->setObjectName(QStringLiteral("SaveChart"));
    saveGraph_ = new QPushButton(QStringLiteral("Save graph..."), this);
    saveGraph_->setObjectName(QStringLiteral("SaveGraph"));
    connect(saveCsv_, &QPushButton::clicked, this, &HeardStationsWindow::saveCsv);
    connect(saveChart_, &QPushButton::clicked, this, &HeardStationsWindow::saveChart);
    connect(saveGraph_, &QPushButton::clicked, this, &HeardStationsWindow::saveGraph);

    auto* stationsPage = new QWidget(this);
    auto* stationsLayout = new QVBoxLayout(stationsPage);
    stationsLayout->setContentsMargins(0, 0, 0, 0);
    stationsLayout->addWidget(table_, 3);
    stationsLayout->addWidget(chart_, 2);
    auto* views = new QTabWidget(this);
    views->setObjectName(QStringLiteral("StationViews"));
    views->addTab(stationsPage, QStringLiteral("Stations"));
    views->addTab(paths_, QStringLiteral("Paths"));
    views->addTab(graph_, QStringLiteral("Graph"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_);
    buttons->addStretch(1);
    buttons->addWidget(saveCsv_);
    buttons->addWidget(saveChart_);
    buttons->addWidget(saveGraph_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(views);
    layout->addLayout(buttons);
    resize(680, 600);
}

HeardStationsWindow::~HeardStationsWindow() = default;

void HeardStationsWindow::setRun(std::vector<StationRecord> stations,
                                 analysis::ActivitySeries activity,
                                 std::vector<analysis::PathRecord> paths, std::string sourceFile) {
    const std::size_t n = stations.size();
    paths_->setPaths(paths);
    graph_->setGraph(std::move(paths), analysis::ownStationOf(stations));
    model_->setStations(std::move(stations));
    chart_->setSeries(std::move(activity));
    sourceFile_ = std::move(sourceFile);
    count_->setText(n == 1 ? QStringLiteral("1 station")
                           : QStringLiteral("%1 stations").arg(static_cast<qulonglong>(n)));
}

void HeardStationsWindow::sortByLastHeard() {
    table_->sortByColumn(static_cast<int>(StationColumn::LastHeard), Qt::DescendingOrder);
}

const std::vector<StationRecord>& HeardStationsWindow::shownStations() const {
    return model_->stations();
}

std::optional<std::string>
HeardStationsWindow::askPath(const char* title, const char* namePart, const char* suffix,
                             std::vector<std::pair<std::string, std::string>> filters) {
    namespace fs = std::filesystem;
    SaveDialogRequest request;
    request.title = title;
    for (auto& [description, pattern] : filters)
        request.filters.push_back({std::move(description), std::move(pattern)});
    // Beside the analysed log, named after it.
    const fs::path source(sourceFile_);
    request.folder = source.parent_path().string();
    request.initialName =
        (source.has_stem() ? source.stem().string() : std::string("heard")) + namePart + suffix;
    std::optional<std::string> path = prompts_.saveFile(request);
    if (!path || path->empty())
        return std::nullopt;
    std::error_code ec;
    if (fs::exists(fs::path(*path), ec)) {
        const base::MessageBox question{displayPath(*path) +
                                            " already exists.\r\nDo you want to replace it?",
                                        Title, base::Buttons::YesNo, base::Icon::Exclamation};
        if (prompts_.message(question) != Answer::Yes)
            return std::nullopt;
    }
    return path;
}

void HeardStationsWindow::reportWriteFailure(const std::string& path) {
    prompts_.message({"The file could not be written:\r\n" + displayPath(path), Title,
                      base::Buttons::Ok, base::Icon::Critical});
}

void HeardStationsWindow::saveCsv() {
    const auto path = askPath("Save as CSV", "-stations", ".csv",
                              {{"CSV Files (*.csv)", "*.csv"}, {"All Files (*.*)", "*.*"}});
    // Written as Save writes: an existing file is replaced only once the table is whole.
    if (path && actions::writeProcessedText(*path, analysis::stationsCsv(shownStations())) != 0)
        reportWriteFailure(*path);
}

void HeardStationsWindow::saveChart() {
    const auto path =
        askPath("Save chart", "-activity", ".png",
                {{"PNG Pictures (*.png)", "*.png"}, {"SVG Drawings (*.svg)", "*.svg"}});
    if (!path)
        return;
    // Any name but an .svg one gets a PNG picture. Written as Save writes: an
    // existing file is replaced only once the picture is whole.
    const QByteArray picture = chart::activityChartPicture(
        chart_->series(),
        endsWithInAnyCase(*path, ".svg") ? chart::PictureFormat::Svg : chart::PictureFormat::Png,
        chart_->font());
    const bool written =
        !picture.isEmpty() &&
        actions::writeProcessedText(
            *path,
            std::string_view(picture.constData(), static_cast<std::size_t>(picture.size()))) == 0;
    if (!written)
        reportWriteFailure(*path);
}

void HeardStationsWindow::saveGraph() {
    const auto path = askPath("Save graph", "-paths", ".svg",
                              {{"SVG Drawings (*.svg)", "*.svg"},
                               {"PNG Pictures (*.png)", "*.png"},
                               {"Graphviz DOT Files (*.dot)", "*.dot"}});
    if (!path)
        return;
    // DOT, SVG or PNG by the name's ending, any other name a PNG picture.
    // Written as Save writes: an existing file is replaced only once the
    // graph is whole.
    auto write = [this, path = *path](const graph::GraphFile& file) {
        if (!file.error.empty() || actions::writeProcessedText(path, file.bytes) != 0)
            reportWriteFailure(path);
        emit graphSaved();
    };
    const graph::GraphFormat format = graph::graphFormatOf(*path).value_or(graph::GraphFormat::Png);
    if (format == graph::GraphFormat::Svg && !graph_->svg().empty()) {
        write({graph_->svg(), {}});
        return;
    }
    // Made after any drawing under way, on the same thread. The watcher goes
    // with the window: a graph made after it is gone is not written.
    auto* watcher = new QFutureWatcher<graph::GraphFile>(this);
    connect(watcher, &QFutureWatcher<graph::GraphFile>::finished, this, [watcher, write] {
        watcher->deleteLater();
        write(watcher->result());
    });
    watcher->setFuture(graphInBackground(graph_->paths(), graph_->ownStation(), format));
}

} // namespace tallix::ui
