#include "ui/file_list_box.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

#include "files/file_list.h"
#include "ui/qt_text.h"

namespace tallix::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
