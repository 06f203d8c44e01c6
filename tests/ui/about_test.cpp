// Help and the About window, driven from the main window as a user drives
// them, with a recording desktop and a registry whose tools are scripted.

#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/registry.h"
#include "fake_prompts.h"
#include "ui/about_window.h"
#include "ui/form1.h"
#include "ui/help_viewer.h"

using tallix::ui::AboutServices;
using tallix::ui::Form1;
using tallix::ui::FrmAbout;
using tallix::ui::HelpViewer;
using tallix::ui::test::FakePrompts;
namespace fs = std::filesystem;

namespace {

// Records what would have been opened or started.
class RecordingDesktop : public tallix::ui::Desktop {
public:
    std::vector<QString> urls;
    std::vector<std::string> programs;
    bool starts = true;

    void openUrl(const QUrl& url) override { urls.push_back(url.toString()); }
    bool startProgram(const std::string& path) override {
        programs.push_back(path);
        return starts;
    }
};

const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n";

struct KestFolder {
    QTemporaryDir dir;
    fs::path root() const { return fs::path(dir.path().toStdString()); }
    explicit KestFolder(bool withHelp = true) {
        std::ofstream(root() / "kest.ini", std::ios::binary) << Settings;
        if (withHelp)
            fs::copy_file(TALLIX_HELP_DOCUMENT, root() / "tallix-help.html");
    }
};

// Leaves the process's current folder as the test found it.
struct KeepCurrentFolder {
    QString saved = QDir::currentPath();
    ~KeepCurrentFolder() { QDir::setCurrent(saved); }
};

struct Window {
    FakePrompts prompts;
    std::map<std::string, std::string> installed; // tool -> full path
    std::shared_ptr<RecordingDesktop> desktop = std::make_shared<RecordingDesktop>();
    Form1 form;
    bool loaded;

    explicit Window(const KestFolder& kest)
        : form({kest.root().string(), "4KTRMN"}, prompts), loaded(form.Form_Load()) {
        auto registry = std::make_shared<tallix::app::PathToolRegistry>(
            tallix::app::systemInfoTools(),
            [this](const std::string& name) -> std::optional<std::string> {
                const auto found = installed.find(name);
                if (found == installed.end())
                    return std::nullopt;
                return found->second;
            });
        form.setAboutServices(AboutServices{registry, desktop});
        form.show();
    }

    template <class T = QWidget> T* get(const char* name) {
        auto* w = form.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no element %s", name);
        return w;
    }
    // The About windows that are open (closed ones may wait for deletion).
    QList<FrmAbout*> openAbouts() {
        QList<FrmAbout*> open;
        for (FrmAbout* a : form.findChildren<FrmAbout*>(QStringLiteral("frmAbout")))
            if (a->isVisible())
                open.push_back(a);
        return open;
    }
    FrmAbout* about() {
        const auto open = openAbouts();
        return open.size() == 1 ? open.front() : nullptr;
    }
    HelpViewer* viewer() {
        auto* v = form.findChild<HelpViewer*>(QStringLiteral("HelpViewer"));
        return v && v->isVisible() ? v : nullptr;
    }
    template <class T = QWidget> T* inAbout(const char* name) {
        FrmAbout* a = about();
        if (!a)
            qFatal("no About window");
        auto* w = a->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no element %s in the About window", name);
        return w;
    }
    void openAbout() { QTest::mouseClick(get<QLabel>("Image1"), Qt::LeftButton); }
};

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString canonical(const QString& path) {
    return QDir(path).canonicalPath();
}

} // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        QLocale::setDefault(QLocale::c());
        QStandardPaths::setTestModeEnabled(true);
    }
    void helpFromTheHostFolder_data();
    void helpFromTheHostFolder();
    void missingHelpFileIsReportedByTheViewer();
    void helpButtonsByMouseButton_data();
    void helpButtonsByMouseButton();
    void oneAboutWindowAtATime();
    void aboutWindowCloses_data();
    void aboutWindowCloses();
    void aboutTexts();
    void systemInformation_data();
    void systemInformation();
    void links();
    void helpDocumentLiesBesideTheProgram();
};

void AboutTest::helpFromTheHostFolder_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("startElsewhere");
    for (const char* how : {"Help button", "F1 on the main window", "More...", "F1 on About"}) {
        QTest::addRow("%s, from another folder", how) << how << true;
        QTest::addRow("%s, from the host folder", how) << how << false;
    }
}

void AboutTest::helpFromTheHostFolder() {
    QFETCH(QString, how);
    QFETCH(bool, startElsewhere);
    KeepCurrentFolder keep;
    KestFolder kest;
    QTemporaryDir elsewhere;
    Window w(kest);
    QVERIFY(w.loaded);
    const QString host = QString::fromStdString(kest.root().string());
    QVERIFY(QDir::setCurrent(startElsewhere ? elsewhere.path() : host));

    if (how == "Help button") {
        QTest::mouseClick(w.get<QToolButton>("Command6"), Qt::LeftButton);
    } else if (how == "F1 on the main window") {
        w.form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.form));
        QTest::keyClick(&w.form, Qt::Key_F1);
    } else {
        w.openAbout();
        QVERIFY(w.about());
        if (how == "More...") {
            QTest::mouseClick(w.inAbout<QPushButton>("Command1"), Qt::LeftButton);
        } else {
            QVERIFY(QTest::qWaitForWindowActive(w.about()));
            QTest::keyClick(w.about(), Qt::Key_F1);
        }
    }

    QCOMPARE(canonical(QDir::currentPath()), canonical(host));
    HelpViewer* viewer = w.viewer();
    QVERIFY(viewer);
    QCOMPARE(canonical(QFileInfo(viewer->browser()->source().toLocalFile()).path()),
             canonical(host));
    QCOMPARE(viewer->browser()->documentTitle(), QStringLiteral("Tallix Help"));
    QVERIFY(w.prompts.messages.empty());
}

void AboutTest::missingHelpFileIsReportedByTheViewer() {
    KeepCurrentFolder keep;
    KestFolder kest(false);
    QTemporaryDir elsewhere;
    // The document lies in the folder that was current, but not in the host
    // folder: the help looks only in the host folder.
    fs::copy_file(TALLIX_HELP_DOCUMENT,
                  fs::path(elsewhere.path().toStdString()) / "tallix-help.html");
    QVERIFY(QDir::setCurrent(elsewhere.path()));
    Window w(kest);
    QTest::mouseClick(w.get<QToolButton>("Command6"), Qt::LeftButton);

    HelpViewer* viewer = w.viewer();
    QVERIFY(viewer);
    QCOMPARE(viewer->browser()->toPlainText(),
             QStringLiteral("The help file tallix-help.html was not found in %1.")
                 .arg(QDir::toNativeSeparators(QDir::currentPath())));
    QCOMPARE(canonical(QDir::currentPath()),
             canonical(QString::fromStdString(kest.root().string())));
    QVERIFY(w.prompts.messages.empty());

    // Once the document is there, the same viewer shows it.
    fs::copy_file(TALLIX_HELP_DOCUMENT, kest.root() / "tallix-help.html");
    QTest::mouseClick(w.get<QToolButton>("Command6"), Qt::LeftButton);
    QCOMPARE(w.viewer(), viewer);
    QCOMPARE(viewer->browser()->documentTitle(), QStringLiteral("Tallix Help"));
}

void AboutTest::helpButtonsByMouseButton_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("about");
    QTest::newRow("left: help only") << Qt::LeftButton << true << false;
    QTest::newRow("right: About only") << Qt::RightButton << false << true;
    QTest::newRow("middle: nothing") << Qt::MiddleButton << false << false;
}

void AboutTest::helpButtonsByMouseButton() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, help);
    QFETCH(bool, about);
    KeepCurrentFolder keep;
    KestFolder kest;
    Window w(kest);
    QTest::mouseClick(w.get<QToolButton>("Command6"), button);
    QCOMPARE(w.viewer() != nullptr, help);
    QCOMPARE(w.openAbouts().size(), about ? 1 : 0);
}

void AboutTest::oneAboutWindowAtATime() {
    KestFolder kest;
    Window w(kest);
    w.openAbout();
    FrmAbout* first = w.about();
    QVERIFY(first);
    QVERIFY(QTest::qWaitForWindowActive(first));

    // The main window gets the focus back; opening again activates the same one.
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
    w.openAbout();
    QTest::mouseClick(w.get<QToolButton>("Command6"), Qt::RightButton);
    QCOMPARE(w.openAbouts().size(), 1);
    QCOMPARE(w.about(), first);
    QVERIFY(QTest::qWaitForWindowActive(first));
    QVERIFY(!first->isModal());

    // Once closed it is discarded; the next opening loads a new one.
    QPointer<FrmAbout> closed = first;
    QTest::mouseClick(w.inAbout<QPushButton>("cmdOK"), Qt::LeftButton);
    settle();
    QVERIFY(closed.isNull());
    w.openAbout();
    QVERIFY(w.about());
    QCOMPARE(w.about()->windowTitle(), QStringLiteral("About Tallix"));
}

void AboutTest::aboutWindowCloses_data() {
    QTest::addColumn<QString>("how");
    for (const char* how :
         {"Esc", "Enter", "Enter with the focus on More...", "OK", "close button"})
        QTest::newRow(how) << how;
}

void AboutTest::aboutWindowCloses() {
    QFETCH(QString, how);
    KeepCurrentFolder keep;
    KestFolder kest;
    Window w(kest);
    w.openAbout();
    QPointer<FrmAbout> about = w.about();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(about->focusWidget(), w.inAbout("cmdOK"));

    if (how == "Esc")
        QTest::keyClick(about, Qt::Key_Escape);
    else if (how == "Enter")
        QTest::keyClick(about, Qt::Key_Return);
    else if (how == "OK")
        QTest::mouseClick(w.inAbout<QPushButton>("cmdOK"), Qt::LeftButton);
    else if (how == "close button")
        about->close();
    else {
        // A button with the focus takes Enter itself, as "More..." does here.
        w.inAbout("Command1")->setFocus();
        QTest::keyClick(about, Qt::Key_Return);
        QVERIFY(w.viewer());
        QVERIFY(!about.isNull() && about->isVisible());
        return;
    }
    settle();
    QVERIFY(about.isNull());
    QVERIFY(w.form.isVisible());
    QVERIFY(!w.viewer());
}

void AboutTest::aboutTexts() {
    KestFolder kest;
    Window w(kest);
    w.openAbout();
    FrmAbout* about = w.about();
    QVERIFY(about);
    QCOMPARE(about->windowTitle(), QStringLiteral("About Tallix"));
    QCOMPARE(w.inAbout<QLabel>("lblVersion")->text(), QStringLiteral("Version 1.4.0"));
    QCOMPARE(w.inAbout<QLabel>("lblDescription")->text(),
             QStringLiteral("This Kest add-on utility analyzes and gives you more info about the "
                            "received data and/or removes your transmitted (non digipeated) lines "
                            "from the Kest saved reception file(s) or Kest reports! It gives you "
                            "the total of received headers and your digipeated frames, total of "
                            "your transmitted frames etc..."));
    QCOMPARE(about->size(), QSize(386, 303));
    QCOMPARE(about->minimumSize(), about->maximumSize());
    QVERIFY(
        !(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(w.inAbout<QPushButton>("cmdOK")->isDefault());
    // Both copies of "For Kest" are there, the white one a pixel right and up.
    const QPoint offset = w.inAbout("Label2_1")->pos() - w.inAbout("Label2_0")->pos();
    QCOMPARE(offset, QPoint(1, -1));
}

void AboutTest::systemInformation_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("started");
    QTest::addColumn<bool>("message");
    QTest::newRow("first tool of the list") << QStringList{"kinfocenter", "gnome-system-monitor"}
                                            << true << "/usr/bin/gnome-system-monitor" << false;
    QTest::newRow("the only tool")
        << QStringList{"xfce4-taskmanager"} << true << "/usr/bin/xfce4-taskmanager" << false;
    QTest::newRow("no tool") << QStringList{} << true << "" << true;
    QTest::newRow("tool that does not start")
        << QStringList{"hardinfo"} << false << "/usr/bin/hardinfo" << true;
}

void AboutTest::systemInformation() {
    QFETCH(QStringList, installed);
    QFETCH(bool, starts);
    QFETCH(QString, started);
    QFETCH(bool, message);
    KestFolder kest;
    Window w(kest);
    for (const QString& tool : installed)
        w.installed[tool.toStdString()] = "/usr/bin/" + tool.toStdString();
    w.desktop->starts = starts;
    w.openAbout();
    QTest::mouseClick(w.inAbout<QPushButton>("cmdSysInfo"), Qt::LeftButton);

    const std::vector<std::string> expected = started.isEmpty()
                                                  ? std::vector<std::string>{}
                                                  : std::vector<std::string>{started.toStdString()};
    QCOMPARE(w.desktop->programs, expected);
    if (message) {
        QCOMPARE(w.prompts.messages.size(), std::size_t{1});
        const tallix::app::MessageBox box = w.prompts.messages.front();
        QCOMPARE(QString::fromStdString(box.text),
                 QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(QString::fromStdString(box.title), QStringLiteral("Tallix"));
        QVERIFY(box.buttons == tallix::app::Buttons::Ok);
        QVERIFY(box.icon == tallix::app::Icon::None);
    } else {
        QVERIFY(w.prompts.messages.empty());
    }
    QVERIFY(w.about()); // stays open either way
}

void AboutTest::links() {
    KestFolder kest;
    Window w(kest);
    w.openAbout();
    QTest::mouseClick(w.inAbout<QLabel>("Label4"), Qt::LeftButton);
    QTest::mouseClick(w.inAbout<QLabel>("Image2"), Qt::LeftButton);
    QTest::mouseClick(w.inAbout<QLabel>("Label7"), Qt::LeftButton);
    // The web link opens what its label shows at the time of the click.
    w.inAbout<QLabel>("Label7")->setText(QStringLiteral("https://www.example.org/other"));
    QTest::mouseClick(w.inAbout<QLabel>("Label7"), Qt::LeftButton);
    QCOMPARE(
        w.desktop->urls,
        (std::vector<QString>{"mailto:tallix@example.org", "https://www.example.org/tallix/donate",
                              "https://www.example.org/tallix", "https://www.example.org/other"}));
    QVERIFY(w.prompts.messages.empty());
    QVERIFY(w.desktop->programs.empty());
}

void AboutTest::helpDocumentLiesBesideTheProgram() {
    QFile built(QStringLiteral(TALLIX_BUILT_HELP_DOCUMENT));
    QFile source(QStringLiteral(TALLIX_HELP_DOCUMENT));
    QVERIFY2(built.open(QIODevice::ReadOnly), TALLIX_BUILT_HELP_DOCUMENT);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QCOMPARE(built.readAll(), source.readAll());
}

QTEST_MAIN(AboutTest)
#include "about_test.moc"
