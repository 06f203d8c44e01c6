#pragma once
// The program's help viewer: a small window that shows the help document.

#include <QWidget>

class QTextBrowser;

namespace tallix::ui {

class HelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Shows the document `name`, a bare file name looked up in the current
    // folder, from its start. Without such a file the viewer says so itself.
    void showContents(const QString& name);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace tallix::ui
