// The main window's ways to the help and to the About window: the Help
// button (left click: help; right button: About), the product-name picture
// (About) and F1 (help).

#include <QScreen>

#include <algorithm>

#include "app/help_about.h"
#include "ui/about_window.h"
#include "ui/form1.h"
#include "ui/help_viewer.h"
#include "ui/qt_text.h"

namespace tallix::ui {

void Form1::onHelpClicked() {
    requestHelp();
}

void Form1::onHelpPressed(Qt::MouseButton button) {
    // A left press goes on to the button's click, which opens the help.
    if (button == Qt::RightButton)
        showAbout();
}

void Form1::onProductNameClicked() {
    showAbout();
}

void Form1::showAbout() {
    // A window that was closed is gone, or about to be: load a new one.
    AboutWindow* about = about_.data();
    if (!about || about->isHidden()) {
        about = new AboutWindow(
            prompts_, aboutServices_, [this] { requestHelp(); }, this);
        about_ = about;
        about->show();
    }
    about->raise();
    about->activateWindow();
}

void Form1::requestHelp() {
    // The help document's name has no folder; it is found in the current
    // folder, which other actions may have moved.
    app::makeFolderCurrent(env_.hostFolder);
    HelpViewer* viewer = helpViewer_.data();
    if (!viewer) {
        viewer = new HelpViewer(this);
        helpViewer_ = viewer;
    }
    viewer->showContents(qtFileName(app::HelpDocumentName));
    // A viewer that opens comes up over the main window, on the screen.
    if (!viewer->isVisible()) {
        QPoint at = frameGeometry().center() - viewer->rect().center();
        if (const QScreen* shown = screen()) {
            const QRect area = shown->availableGeometry();
            at.setX(std::clamp(at.x(), area.left(),
                               std::max(area.left(), area.right() - viewer->width())));
            at.setY(std::clamp(at.y(), area.top(),
                               std::max(area.top(), area.bottom() - viewer->height())));
        }
        viewer->move(at);
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace tallix::ui
