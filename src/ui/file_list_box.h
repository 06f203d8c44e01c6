#pragma once
// The file list: the files of one folder matching the list's patterns. A
// name too long for the list is cut in its middle; its tip tells it whole.
//
// Only the user chooses an entry: a click, a key pressed in the list (arrows,
// Home/End, the page keys, Space, Enter, typing a name's first letters) or a
// double click. Nothing else - re-reading the folder, the list taking the
// focus, Tab, a change made by code - makes an entry current or highlighted;
// such a change is undone at once. The highlighted entry is the chosen one:
// no highlight, no chosen file.

#include <QListWidget>
#include <QPersistentModelIndex>

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
    // Lists the folder's current content afresh; nothing stays chosen.
    void refresh();
    // The chosen file's name as the file system holds it, or the empty text.
    std::string selectedName() const;

signals:
    void pathChanged();
    // The user made another entry the chosen one.
    void entryChosen();
    // The user double-clicked the chosen entry.
    void chosenDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Runs one input event of the user; what it changes is the user's choice.
    template <class Handler> void asUser(Handler&& handler);
    void selectionMoved();
    void keepChoice();

    std::string path_;
    QPersistentModelIndex chosen_;
    int userInput_ = 0;
    bool restoring_ = false;
};

} // namespace tallix::ui
