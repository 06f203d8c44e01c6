#include "ui/station_paths_view.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QPromise>
#include <QScrollArea>
#include <QSplitter>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTableWidget>
#include <QThreadPool>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace tallix::ui {

namespace {

QTableWidget* newTable(const char* name, const QStringList& titles, QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(titles.size()), parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setHorizontalHeaderLabels(titles);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return table;
}

// A row of texts, numbers right-aligned.
void addRow(QTableWidget* table, const std::vector<QString>& cells,
            const std::vector<bool>& number) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (std::size_t c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        item->setTextAlignment(number[c] ? Qt::AlignRight | Qt::AlignVCenter
                                         : Qt::AlignLeft | Qt::AlignVCenter);
        table->setItem(row, static_cast<int>(c), item);
    }
}

} // namespace

PathsView::PathsView(QWidget* parent) : QWidget(parent) {
    paths_ = newTable("PathTable",
                      {QStringLiteral("Station"), QStringLiteral("Path"), QStringLiteral("Frames"),
                       QStringLiteral("First heard"), QStringLiteral("Last heard"),
                       QStringLiteral("Heard from")},
                      this);
    digipeaters_ = newTable("DigipeaterTable",
                            {QStringLiteral("Digipeater"), QStringLiteral("Frames"),
                             QStringLiteral("Repeated"), QStringLiteral("Stations")},
                            this);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(paths_);
    split->addWidget(digipeaters_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
}

void PathsView::setPaths(const std::vector<analysis::PathRecord>& paths) {
    paths_->setRowCount(0);
    for (const analysis::PathRecord& p : paths)
        addRow(paths_,
               {fromBytes(p.station), fromBytes(analysis::shownPath(p.via)),
                QString::number(p.frames), QString::fromStdString(p.firstHeard()),
                QString::fromStdString(p.lastHeard()), fromBytes(p.heardFrom())},
               {false, false, true, false, false, false});
    digipeaters_->setRowCount(0);
    for (const analysis::DigipeaterRecord& d : analysis::digipeaters(paths))
        addRow(digipeaters_,
               {fromBytes(d.call), QString::number(d.frames), QString::number(d.repeated),
                QString::number(d.stations)},
               {false, true, true, true});
}

QFuture<graph::GraphFile> graphInBackground(SharedPaths paths, std::string ownStation,
                                            graph::GraphFormat format) {
    // One thread, owned by the application: drawings and saves queue up in
    // the order asked for; one still under way when the program ends is
    // waited for.
    static QThreadPool* const graphviz = [] {
        auto* pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(1);
        return pool;
    }();
    auto promise = std::make_shared<QPromise<graph::GraphFile>>();
    QFuture<graph::GraphFile> future = promise->future();
    promise->start();
    // The job holds what it draws: nothing of the window it was asked for.
    graphviz->start([promise, paths = std::move(paths), own = std::move(ownStation), format] {
        promise->addResult(graph::pathGraph(*paths, own, format));
        promise->finish();
    });
    return future;
}

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    picture_ = new QSvgWidget;
    picture_->setObjectName(QStringLiteral("PathGraph"));
    area_ = new QScrollArea(this);
    area_->setWidget(picture_);
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Base);
    drawing_ = new QLabel(QStringLiteral("Drawing the graph\u2026"), this);
    drawing_->setObjectName(QStringLiteral("GraphDrawing"));
    drawing_->setAlignment(Qt::AlignCenter);
    drawing_->hide();
    failure_ = new QLabel(this);
    failure_->setObjectName(QStringLiteral("GraphFailure"));
    failure_->setTextFormat(Qt::PlainText);
    failure_->setWordWrap(true);
    failure_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(drawing_);
    layout->addWidget(area_);
    layout->addWidget(failure_);
}

void GraphView::setGraph(std::vector<analysis::PathRecord> paths, std::string ownStation) {
    paths_ = std::make_shared<const std::vector<analysis::PathRecord>>(std::move(paths));
    ownStation_ = std::move(ownStation);
    ++generation_;
    started_ = false;
    svg_.clear();
    if (isVisible())
        draw();
}

void GraphView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!started_)
        draw();
}

void GraphView::draw() {
    started_ = true;
    drawing_->show();
    area_->hide();
    failure_->hide();
    // The watcher goes with the view: a drawing that ends after the view is
    // gone reaches nothing.
    auto* watcher = new QFutureWatcher<graph::GraphFile>(this);
    connect(watcher, &QFutureWatcher<graph::GraphFile>::finished, this,
            [this, watcher, generation = generation_] {
                watcher->deleteLater();
                if (generation == generation_)
                    showDrawing(watcher->result());
            });
    watcher->setFuture(graphInBackground(paths_, ownStation_, graph::GraphFormat::Svg));
}

void GraphView::showDrawing(const graph::GraphFile& file) {
    svg_ = file.bytes;
    picture_->load(QByteArray(svg_.data(), static_cast<qsizetype>(svg_.size())));
    picture_->resize(picture_->renderer()->defaultSize());
    drawing_->hide();
    area_->show();
    failure_->setText(file.error.empty() ? QString()
                                         : QStringLiteral("The graph could not be drawn: ") +
                                               fromDesktop(file.error));
    failure_->setVisible(!file.error.empty());
    emit drawn();
}

} // namespace tallix::ui
