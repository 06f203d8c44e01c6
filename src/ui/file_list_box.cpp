#include "ui/file_list_box.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

#include "files/file_list.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

namespace tallix::ui {

namespace {

// Entries no wider than the list: a long name is cut in its middle, keeping
// its start and its extension, rather than running out of sight.
class FittingDelegate : public QStyledItemDelegate {
public:
    explicit FittingDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(std::min(size.width(), list_->viewport()->width()));
        return size;
    }

private:
    QListWidget* list_;
};

} // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new FittingDelegate(this));
    setTextElideMode(Qt::ElideMiddle);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FileListBox::selectionMoved);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FileListBox::selectionMoved);
}

int FileListBox::setPath(const std::string& folder) {
    const files::FolderListing listing = files::listFolder(folder);
    if (!listing.ok)
        return listing.errorNumber;
    const bool changed = folder != path_;
    path_ = folder;
    refresh();
    if (changed)
        emit pathChanged();
    return 0;
}

void FileListBox::refresh() {
    const QSignalBlocker quiet(this);
    chosen_ = QPersistentModelIndex();
    clear();
    const files::FolderListing listing = files::listFolder(path_);
    for (const auto& name : listing.names) {
        auto* item = new QListWidgetItem(fromPath(name), this);
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
    }
    keepChoice();
}

std::string FileListBox::selectedName() const {
    if (!chosen_.isValid())
        return {};
    return chosen_.data(Qt::UserRole).toByteArray().toStdString();
}

template <class Handler> void FileListBox::asUser(Handler&& handler) {
    ++userInput_;
    handler();
    --userInput_;
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    asUser([&] {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (enter && currentIndex().isValid() && !selectionModel()->isSelected(currentIndex()))
            selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
        QListWidget::keyPressEvent(event);
    });
}

void FileListBox::mousePressEvent(QMouseEvent* event) {
    asUser([&] { QListWidget::mousePressEvent(event); });
}

void FileListBox::mouseMoveEvent(QMouseEvent* event) {
    asUser([&] { QListWidget::mouseMoveEvent(event); });
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event) {
    asUser([&] { QListWidget::mouseReleaseEvent(event); });
}

void FileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    asUser([&] { QListWidget::mouseDoubleClickEvent(event); });
    // Told once the list has handled the event: what the double click starts
    // (a whole run) is no input of the list's.
    if (event->button() == Qt::LeftButton && chosen_.isValid() &&
        indexAt(event->position().toPoint()) == chosen_)
        emit chosenDoubleClicked();
}

bool FileListBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // A name cut short is told whole below the list's own tip.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QListWidgetItem* entry = itemAt(help->pos());
        const int margins =
            2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
        if (entry && fontMetrics().horizontalAdvance(entry->text()) + margins >
                         visualItemRect(entry).width()) {
            QToolTip::showText(help->globalPos(), tipWithLine(toolTip(), entry->text()), viewport(),
                               visualItemRect(entry));
            return true;
        }
    }
    return QListWidget::viewportEvent(event);
}

void FileListBox::selectionMoved() {
    if (restoring_)
        return;
    if (userInput_ == 0) {
        keepChoice();
        return;
    }
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    const QPersistentModelIndex now =
        selected.isEmpty() ? QPersistentModelIndex() : QPersistentModelIndex(selected.first());
    if (now == chosen_)
        return;
    chosen_ = now;
    if (chosen_.isValid())
        emit entryChosen();
}

void FileListBox::keepChoice() {
    const QScopedValueRollback guard(restoring_, true);
    QItemSelectionModel* selection = selectionModel();
    if (chosen_.isValid()) {
        if (selection->currentIndex() != chosen_ || !selection->isSelected(chosen_))
            selection->setCurrentIndex(chosen_, QItemSelectionModel::ClearAndSelect);
    } else {
        selection->clearSelection();
        selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}

} // namespace tallix::ui
