// Help and the About window, driven from the main window as a user drives
// them, with a recording desktop and scripted system-information tools.

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <filesystem>
#include <fstream>
#include <map>

#include "app/registry.h"
#include "fake_prompts.h"
#include "ui/about_window.h"
#include "ui/form1.h"
#include "ui/help_viewer.h"

using namespace tallix::ui;
namespace fs = std::filesystem;

namespace {

class RecordingDesktop : public Desktop {
public:
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
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        QLocale::setDefault(QLocale::c());
        QStandardPaths::setTestModeEnabled(true);
    }

    void helpAndAbout_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("help");      // "host", "missing" or "" for none
        QTest::addColumn<int>("abouts");        // About windows at the end
        QTest::addColumn<QStringList>("tools"); // system-information tools installed
        QTest::addColumn<bool>("starts");       // whether a tool starts
        QTest::addColumn<QString>("started");
        QTest::addColumn<bool>("unavailable"); // the system information's message
        auto row = [](const char* name, const char* steps, const char* help, int abouts,
                      const QStringList& tools = {}, bool starts = true, const char* started = "",
                      bool unavailable = false) {
            QTest::newRow(name) << steps << help << abouts << tools << starts << started
                                << unavailable;
        };
        row("Help button", "Command6", "host", 0);
        row("F1 on the main window", "F1", "host", 0);
        row("More... on About", "Image1 About.Command1", "host", 1);
        row("F1 on About", "Image1 About.F1", "host", 1);
        row("right button: About and no help", "Command6.right", "", 1);
        row("middle button: nothing", "Command6.middle", "", 0);
        row("one About window", "Image1 Image1 Command6.right", "", 1);
        row("Esc closes About", "Image1 About.Esc", "", 0);
        row("Enter closes About", "Image1 About.Enter", "", 0);
        row("the close button closes About", "Image1 About.Close", "", 0);
        row("OK closes; the next opening loads anew", "Image1 About.cmdOK Image1", "", 1);
        row("missing help: the viewer says so", "RemoveHelp Command6", "missing", 0);
        row("help found once it is there", "RemoveHelp Command6 AddHelp Command6", "host", 0);
        row("system information: the first tool of the list", "Image1 About.cmdSysInfo", "", 1,
            {"kinfocenter", "gnome-system-monitor"}, true, "/bin/gnome-system-monitor");
        row("system information not found", "Image1 About.cmdSysInfo", "", 1, {}, true, "", true);
        row("system information failing to start", "Image1 About.cmdSysInfo", "", 1, {"hardinfo"},
            false, "/bin/hardinfo", true);
    }

    void helpAndAbout() {
        QFETCH(QString, steps);
        QFETCH(QString, help);
        QFETCH(int, abouts);
        QFETCH(QStringList, tools);
        QFETCH(bool, starts);
        QFETCH(QString, started);
        QFETCH(bool, unavailable);
        QTemporaryDir kest, elsewhere;
        const fs::path host = kest.path().toStdString(), document = host / "tallix-help.html";
        std::ofstream(host / "kest.ini", std::ios::binary) << ";Kest\r\n\r\n\r\nAB1CD\r\n";
        fs::copy_file(TALLIX_HELP_DOCUMENT, document);
        // The folder current before holds the document too; help must not look there.
        fs::copy_file(TALLIX_HELP_DOCUMENT, elsewhere.filePath("tallix-help.html").toStdString());
        QVERIFY(QDir::setCurrent(elsewhere.path()));

        test::FakePrompts prompts;
        Form1 form({host.string(), "4KTRMN"}, prompts);
        QVERIFY(form.Form_Load());
        auto desktop = std::make_shared<RecordingDesktop>();
        desktop->starts = starts;
        const auto finder = [&](const std::string& tool) {
            return tools.contains(QString::fromStdString(tool)) ? std::optional("/bin/" + tool)
                                                                : std::nullopt;
        };
        form.setAboutServices({std::make_shared<tallix::app::PathToolRegistry>(
                                   tallix::app::systemInfoTools(), finder),
                               desktop});
        form.show();
        const auto about = [&]() -> QWidget* { return form.findChild<FrmAbout*>(); };

        // A step: [About.]element[.right|.middle], [About.]key, About.Close, or the
        // help document removed from or added to the host folder.
        const std::map<QString, Qt::Key> keys{
            {"F1", Qt::Key_F1}, {"Esc", Qt::Key_Escape}, {"Enter", Qt::Key_Return}};
        for (QString step : steps.split(' ')) {
            QWidget* window = step.startsWith("About.") ? about() : &form;
            step.remove(QStringLiteral("About."));
            const QString name = step.section('.', 0, 0), button = step.section('.', 1);
            if (step == "RemoveHelp") {
                fs::remove(document);
            } else if (step == "AddHelp") {
                fs::copy_file(TALLIX_HELP_DOCUMENT, document);
            } else if (keys.count(name)) {
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                QTest::keyClick(window, keys.at(name));
            } else if (name == "Close") {
                window->close();
            } else {
                // Direct children come first: the main window's Image1, not About's.
                QWidget* target = window->findChild<QWidget*>(name);
                QVERIFY2(target, qPrintable(name));
                QTest::mouseClick(target, button == "right"    ? Qt::RightButton
                                          : button == "middle" ? Qt::MiddleButton
                                                               : Qt::LeftButton);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

        // Closed About windows are gone, not hidden; an open one was loaded.
        QCOMPARE(form.findChildren<FrmAbout*>().size(), abouts);
        if (abouts) {
            QCOMPARE(about()->windowTitle(), QStringLiteral("About Tallix"));
            QCOMPARE(about()->findChild<QLabel*>("lblVersion")->text(),
                     QStringLiteral("Version 1.4.0"));
        }
        auto* viewer = form.findChild<HelpViewer*>();
        QCOMPARE(viewer && viewer->isVisible(), !help.isEmpty());
        // Help makes the host folder current; nothing else does.
        QCOMPARE(fs::equivalent(fs::current_path(), host), !help.isEmpty());
        if (help == "host") {
            QCOMPARE(viewer->browser()->source().toLocalFile().toStdString(), document.string());
            QCOMPARE(viewer->browser()->documentTitle(), QStringLiteral("Tallix Help"));
        } else if (help == "missing") {
            QCOMPARE(viewer->browser()->toPlainText(),
                     QStringLiteral("The help file tallix-help.html was not found in %1.")
                         .arg(QDir::toNativeSeparators(QDir::currentPath())));
        }

        QCOMPARE(desktop->started, started.isEmpty() ? QStringList{} : QStringList{started});
        QCOMPARE(prompts.messages.size(), std::size_t(unavailable));
        for (const tallix::app::MessageBox& box : prompts.messages) {
            QCOMPARE(box.text, std::string("System Information Is Unavailable At This Time"));
            QVERIFY(box.title == "Tallix" && box.buttons == tallix::app::Buttons::Ok &&
                    box.icon == tallix::app::Icon::None);
        }
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
