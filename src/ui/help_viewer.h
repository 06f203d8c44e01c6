#pragma once
// The program's help viewer: a small window that shows the help document,
// with Back and Home as a browser has them.

#include <QWidget>

class QTextBrowser;
class QToolButton;

namespace tallix::ui {

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the document `name`, a bare file name looked up in the current
    // folder, from its start. Without such a file the viewer says where it
    // looked.
    void showContents(const QString& name);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* home_ = nullptr;
};

} // namespace tallix::ui
