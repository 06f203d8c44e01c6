#include "ui/station_paths_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QSplitter>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "graph/path_graph.h"
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

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    picture_ = new QSvgWidget;
    picture_->setObjectName(QStringLiteral("PathGraph"));
    area_ = new QScrollArea(this);
    area_->setWidget(picture_);
    area_->setAlignment(Qt::AlignCenter);
    area_->setBackgroundRole(QPalette::Base);
    failure_ = new QLabel(this);
    failure_->setObjectName(QStringLiteral("GraphFailure"));
    failure_->setTextFormat(Qt::PlainText);
    failure_->setWordWrap(true);
    failure_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area_);
    layout->addWidget(failure_);
}

void GraphView::setGraph(std::vector<analysis::PathRecord> paths, std::string ownStation) {
    paths_ = std::move(paths);
    ownStation_ = std::move(ownStation);
    drawn_ = false;
    if (isVisible())
        draw();
}

const std::string& GraphView::svg() {
    if (!drawn_)
        draw();
    return svg_;
}

void GraphView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!drawn_)
        draw();
}

void GraphView::draw() {
    drawn_ = true;
    const graph::GraphFile file = graph::pathGraph(paths_, ownStation_, graph::GraphFormat::Svg);
    svg_ = file.bytes;
    picture_->load(QByteArray(svg_.data(), static_cast<qsizetype>(svg_.size())));
    picture_->resize(picture_->renderer()->defaultSize());
    failure_->setText(file.error.empty() ? QString()
                                         : QStringLiteral("The graph could not be drawn: ") +
                                               fromDesktop(file.error));
    failure_->setVisible(!file.error.empty());
}

} // namespace tallix::ui
