// Tallix: started by Kest with its launch code, from Kest's folder.

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <string>

#include "ui/form1.h"
#include "ui/help_viewer.h"
#include "ui/qt_prompts.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

namespace {

// For checks of an installed program: asks for the help as the Help button
// does and says on the error stream which document the viewer shows.
void reportHelpAtStart(tallix::ui::Form1& window) {
    if (auto* help = window.findChild<QAbstractButton*>(QStringLiteral("Command6")))
        help->click();
    const auto* viewer = window.findChild<tallix::ui::HelpViewer*>();
    const QUrl shown = viewer ? viewer->browser()->source() : QUrl();
    const QString line = shown.isLocalFile()
                             ? QStringLiteral("tallix: help shows %1\n").arg(shown.toLocalFile())
                             : QStringLiteral("tallix: help document not found\n");
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

} // namespace

int main(int argc, char** argv) {
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") &&
                           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay) {
        std::fputs("tallix: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
                   "not set)\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallix"));
    QApplication::setApplicationVersion(QStringLiteral(TALLIX_VERSION));
    Q_INIT_RESOURCE(tallix);
    tallix::ui::useWindowFontThroughout();

    // The whole argument text, as one text.
    std::string argumentText;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            argumentText.push_back(' ');
        argumentText.append(argv[i]);
    }
    tallix::ui::Environment env;
    env.hostFolder = tallix::ui::fromQtFileName(QCoreApplication::applicationDirPath());
    env.argumentText = argumentText;

    tallix::ui::QtPrompts prompts;
    tallix::ui::Form1 window(env, prompts);
    prompts.setParent(&window);
    if (!window.load())
        return 0;
    // Centred on the screen at start.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    if (!qEnvironmentVariableIsEmpty("TALLIX_HELP_AT_START"))
        QTimer::singleShot(0, &window, [&window] { reportHelpAtStart(window); });
    // For smoke tests: end by itself after the given time.
    if (const int ms = qEnvironmentVariableIntValue("TALLIX_QUIT_AFTER_MS"); ms > 0)
        QTimer::singleShot(ms, &app, &QApplication::quit);
    return QApplication::exec();
}
