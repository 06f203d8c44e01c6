#pragma once
// The file list: the files of one folder matching the list's patterns.

#include <QListWidget>

#include <string>

namespace tallix::ui {

class FileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit FileListBox(QWidget* parent = nullptr);

    const std::string& path() const { return path_; }
    // Points the list at a folder. Fails, keeping the folder it showed, when
    // the folder cannot be read; returns the error number then, else 0.
    int setPath(const std::string& folder);
    // Lists the folder's current content afresh; nothing stays selected.
    void refresh();
    // The selected file's name, or the empty text.
    std::string selectedName() const;

signals:
    void pathChanged();

private:
    std::string path_;
};

} // namespace tallix::ui
