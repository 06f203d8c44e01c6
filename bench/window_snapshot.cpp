// Renders the windows to PNG for a look by eye: the main window after
// start-up and after a run over a file of the Kest folder, then the About
// window and the help viewer.
//
//   tallix_ui_snapshot KEST_FOLDER RELATIVE_FILE OUT_DIR
//
// writes after-startup.png, after-run.png, about.png and help.png to OUT_DIR.

#include <QApplication>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QRadioButton>
#include <QToolButton>

#include <cstdio>

#include "fake_prompts.h"
#include "ui/form1.h"
#include "ui/help_viewer.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s KEST_FOLDER RELATIVE_FILE OUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tallix);
    tallix::ui::useWindowFontThroughout();
    tallix::ui::test::FakePrompts prompts;
    tallix::ui::Form1 form({argv[1], "4KTRMN"}, prompts);
    if (!form.load()) {
        std::fprintf(stderr, "start-up refused: %s\n",
                     prompts.messages.empty() ? "" : prompts.messages.back().text.c_str());
        return 1;
    }
    form.show();
    QApplication::processEvents();
    const QString out = QString::fromLocal8Bit(argv[3]);
    form.grab().save(out + "/after-startup.png");

    // Select the file through its folder choice and run the analysis.
    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString folder = file.contains('/') ? file.section('/', 0, 0) : QString();
    const QString name = file.section('/', -1);
    const QStringList choices{QString(), "Reports", "Logs", "Monitor"};
    const int choice = static_cast<int>(choices.indexOf(folder));
    if (choice > 0)
        form.findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(choice))->click();
    auto* list = form.findChild<QListWidget*>(QStringLiteral("File1"));
    const auto found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) {
        std::fprintf(stderr, "not listed: %s\n", argv[2]);
        return 1;
    }
    // Chosen as the user chooses: a click on the entry.
    list->scrollToItem(found.first());
    const QPointF at = list->visualItemRect(found.first()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &click);
    }
    form.findChild<QToolButton*>(QStringLiteral("Command2"))->click();
    QApplication::processEvents();
    form.grab().save(out + "/after-run.png");

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form.findChild<QToolButton*>(QStringLiteral("Command6")), &press);
    QApplication::processEvents();
    if (QWidget* about = form.findChild<QWidget*>(QStringLiteral("frmAbout")))
        about->grab().save(out + "/about.png");
    form.findChild<QToolButton*>(QStringLiteral("Command6"))->click();
    QApplication::processEvents();
    if (auto* help = form.findChild<tallix::ui::HelpViewer*>())
        help->grab().save(out + "/help.png");
    return 0;
}
