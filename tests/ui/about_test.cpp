// Help and the About window, driven from the main window as a user drives
// them, with a recording desktop and scripted system-information tools.

#include <map>

#include "app/system_info.h"
#include "ui/about_window.h"
#include "ui/help_viewer.h"
#include "window_fixture.h"

using namespace tallix::ui;
using namespace tallix::ui::test;

namespace {

struct RecordingDesktop : Desktop {
    QStringList started;
    bool starts = true;
    void openUrl(const QUrl&) override {}
    bool startProgram(const std::string& path) override {
        started << QString::fromStdString(path);
        return starts;
    }
};

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    void helpAndAbout_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");   // About windows open, help shown, tools started
        QTest::addColumn<QStringList>("tools"); // installed; "!" first: it fails to start
        const auto row = [](const char* name, const char* steps, const char* outcome,
                            const QStringList& tools = {}) {
            QTest::newRow(name) << steps << outcome << tools;
        };
        row("Help button", "Command6", "Tallix Help");
        row("F1 on the main window", "F1", "Tallix Help");
        row("More... on About", "Image1 About.Command1", "About Tallix Help");
        row("right button: About and no help", "Command6.right", "About");
        row("one About window", "Image1 Image1 Command6.right", "About");
        row("Esc closes About", "Image1 About.Esc", "");
        row("OK closes; the next opening loads anew", "Image1 About.cmdOK Image1", "About");
        row("missing help: the viewer says where it looked", "RemoveHelp Command6",
            "The help is not available | Tallix looked for its help document tallix-help.html "
            "in the folder | @");
        row("system information: the first tool of the list", "Image1 About.cmdSysInfo",
            "About /bin/gnome-system-monitor", {"kinfocenter", "gnome-system-monitor"});
        row("system information not found", "Image1 About.cmdSysInfo", "About unavailable");
        row("system information failing to start", "Image1 About.cmdSysInfo",
            "About /bin/hardinfo unavailable", {"!", "hardinfo"});
    }

    void helpAndAbout() {
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        QFETCH(QStringList, tools);
        QTemporaryDir elsewhere;
        Window w({}, "");
        const fs::path document = w.root / "tallix-help.html";
        // The folder current before holds the document too; help must not look there.
        for (const QString& to : {QString::fromStdString(w.root.string()), elsewhere.path()})
            QFile::copy(TALLIX_HELP_DOCUMENT, to + "/tallix-help.html");
        QVERIFY(w.loaded && QDir::setCurrent(elsewhere.path()));
        auto desktop = std::make_shared<RecordingDesktop>();
        desktop->starts = !tools.contains("!");
        const auto finder = [&](const std::string& tool) {
            return tools.contains(QString::fromStdString(tool)) ? std::optional("/bin/" + tool)
                                                                : std::nullopt;
        };
        w.form.setAboutServices({std::make_shared<tallix::app::FoundSystemInfoTool>(
                                     tallix::app::systemInfoTools(), finder),
                                 desktop});
        w.form.show();

        // A step: [About.]element[.right], [About.]key, or the
        // help document removed from the host folder.
        const std::map<QString, Qt::Key> keys{{"F1", Qt::Key_F1}, {"Esc", Qt::Key_Escape}};
        for (QString step : steps.split(' ')) {
            QWidget* window = step.startsWith("About.") ? w.form.findChild<AboutWindow*>()
                                                        : static_cast<QWidget*>(&w.form);
            step.remove(QStringLiteral("About."));
            const QString name = step.section('.', 0, 0), button = step.section('.', 1);
            if (step == "RemoveHelp") {
                fs::remove(document);
            } else if (keys.count(name)) {
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                QTest::keyClick(window, keys.at(name));
            } else { // direct children come first: the main window's Image1, not About's
                QTest::mouseClick(window->findChild<QWidget*>(name),
                                  button == "right" ? Qt::RightButton : Qt::LeftButton);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

        // Closed About windows are gone, not hidden; an open one was loaded.
        QStringList got;
        for (auto* a : w.form.findChildren<AboutWindow*>())
            got << a->windowTitle() + "/" + a->findChild<QLabel*>("lblVersion")->text();
        auto* viewer = w.form.findChild<HelpViewer*>();
        const bool helpShown = viewer && viewer->isVisible();
        if (const QTextBrowser* b = helpShown ? viewer->browser() : nullptr)
            got << (b->source().toLocalFile().toStdString() == document.string()
                        ? b->documentTitle()
                        : b->toPlainText()
                              .section('\n', 0, 2)
                              .replace('\n', " | ")
                              .replace(QDir::currentPath(), "@"));
        got << desktop->started;
        for (const tallix::base::MessageBox& box : w.prompts.messages)
            got << QString::fromStdString(box.title + ": " + box.text);
        QCOMPARE(
            got.join(' '),
            outcome.replace("About", "About Tallix/Version 1.4.0")
                .replace("unavailable", "Tallix: System Information Is Unavailable At This Time"));
        // Help makes the host folder current; nothing else does.
        QCOMPARE(fs::equivalent(fs::current_path(), w.root), helpShown);
    }

    // "For Kest" reads in its colour on the grey, the white copy an edge behind it.
    void aboutLooks() {
        Window w({}, "");
        QTest::mouseClick(w.get("Image1"), Qt::LeftButton);
        auto* about = w.form.findChild<AboutWindow*>();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        const QImage image = about->grab().toImage().convertToFormat(QImage::Format_RGB32);
        auto* words = about->findChild<QLabel*>("Label2_0");
        int coloured = 0, white = 0;
        for (int y = words->y() - 1; y <= words->geometry().bottom(); ++y)
            for (int x = words->x(); x <= words->geometry().right() + 1; ++x) {
                const QColor c = image.pixel(x, y);
                coloured += c == QColor(128, 128, 255);
                white += c == Qt::white;
            }
        QVERIFY2(coloured > 2 * white,
                 qPrintable(QString("%1 coloured, %2 white pixels").arg(coloured).arg(white)));
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
