#include "ui/file_list_box.h"

#include "files/file_list.h"
#include "ui/qt_text.h"

namespace tallix::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
    clear();
    const files::FolderListing listing = files::listFolder(path_);
    for (const auto& name : listing.names) {
        auto* item = new QListWidgetItem(fromPath(name), this);
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
    }
    setCurrentRow(-1);
}

std::string FileListBox::selectedName() const {
    // The current entry is the selected file: a mouse press makes an entry
    // current before it marks it selected, and the click is handled then.
    const QListWidgetItem* item = currentItem();
    if (!item)
        return {};
    return item->data(Qt::UserRole).toByteArray().toStdString();
}

} // namespace tallix::ui
