// The main window's ways to the help and to the About window: the Help
// button (left click: help; right button: About), the product-name picture
// (About) and F1 (help).

#include <QEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>
#include <QToolButton>

#include <functional>
#include <utility>

#include "app/help_about.h"
#include "ui/about_window.h"
#include "ui/clickable_label.h"
#include "ui/form1.h"
#include "ui/mouse_down_filter.h"
#include "ui/help_viewer.h"
#include "ui/qt_text.h"

namespace tallix::ui {

void Form1::wireHelpAndAbout() {
    connect(image1_, &ClickableLabel::clicked, this, &Form1::Image1_Click);
    connect(command6_, &QToolButton::clicked, this, &Form1::Command6_Click);
    command6_->installEventFilter(new MouseDownFilter(
        command6_, [this](const QMouseEvent& press) { Command6_MouseDown(press.button()); }));
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &Form1::requestHelp);
}

void Form1::Command6_Click() {
    requestHelp();
}

void Form1::Command6_MouseDown(Qt::MouseButton button) {
    // A left press goes on to the button's click, which opens the help.
    if (button == Qt::RightButton)
        showAbout();
}

void Form1::Image1_Click() {
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
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace tallix::ui
