// The main window's file actions driven as a user drives them, with scripted
// answers to every prompt: Save, Print, Copy, the heard list's popup menu and
// Sort, Rename and Delete. Their finer rules are tested in tests/actions.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "fake_prompts.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/qt_printer.h"
#include "ui/qt_prompts.h"
#include "ui/qt_text.h"

using namespace tallix::app;
using namespace tallix::ui;
using Boxes = std::vector<MessageBox>;
using Files = std::initializer_list<std::pair<const char*, std::string>>;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

// Own call AB1CD: its frame as sent goes with its data line; stations heard in
// the order ZZ9ZZ, AB1CD, EF2GH.
const std::string Log =
    "Report Kest 3.1\r\nFm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\ncaf\xE9 \x80 5\r\n"
    "Fm AB1CD To CQ Via DIGI >[10:10:00]\r\nmy data\r\n"
    "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\nmy data\r\n"
    "Fm EF2GH To ZZ9ZZ >[10:30:00]\r\nbye\r\n";
const std::string Processed =
    "Report Kest 3.1\r\nFm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\n"
    "caf\xE9 \x80 5\r\nFm AB1CD To CQ Via DIGI* >[10:20:00]\r\nmy data\r\n"
    "Fm EF2GH To ZZ9ZZ >[10:30:00]\r\nbye\r\n";

// A Kest folder with its three subfolders and the given files in Reports.
struct Folder {
    QTemporaryDir dir;
    const fs::path root = dir.path().toStdString(), reports = root / "Reports";
    explicit Folder(Files files) {
        writeFile(root / "kest.ini", ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n");
        for (const char* s : {"Reports", "Logs", "Monitor"})
            fs::create_directory(root / s);
        for (const auto& [name, bytes] : files)
            writeFile(reports / name, bytes);
    }
    // "@" stands for the Reports folder.
    QString at(QString path) const {
        return path.replace('@', QString::fromStdString(reports.string()));
    }
};

struct Window : Folder {
    test::FakePrompts prompts;
    Form1 form;
    explicit Window(Files files = {{"pass.log", Log}})
        : Folder(files), form({root.string(), "4KTRMN"}, prompts) {
        if (!form.Form_Load())
            qFatal("start-up failed");
    }
    template <class T = QToolButton> T* get(const char* name) {
        return form.findChild<T*>(QLatin1String(name));
    }
    FileListBox* files() { return form.findChild<FileListBox*>(); }
    void select(const char* name) {
        files()->setCurrentItem(files()->findItems(name, Qt::MatchExactly).value(0));
    }
    void click(const char* button) { QTest::mouseClick(get(button), Qt::LeftButton); }
    void run(const char* name = "pass.log") {
        select(name);
        click("Command2");
    }
    void press(const char* list, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* viewport = get<QListWidget>(list)->viewport();
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5),
                          viewport->mapToGlobal(QPointF(5, 5)), button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    // The dialog answered with `path` (nothing: Cancel); whatever happens, the
    // current folder is the host folder again afterwards.
    void save(std::optional<std::string> path, Answer overwrite = Answer::Yes) {
        prompts.saveAnswers = {std::move(path)};
        prompts.answers = {overwrite};
        click("Command3");
        QCOMPARE(fs::current_path(), fs::canonical(root));
    }
};

QStringList texts(const QListWidget* list) {
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT
    QString startFolder_;

private slots:
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        startFolder_ = QDir::currentPath();
    }
    // Save moves the current folder; every test starts from the same one.
    void cleanup() { QDir::setCurrent(startFolder_); }

    // Cancel and No leave the disk as it was and the list unrefreshed; Yes
    // writes over the selected file; a new name needs no question; every Save
    // proposes the file selected at the time.
    void save() {
        Window w({{"pass.log", Log}, {"other.log", "other"}});
        w.run();
        const std::string pass = (w.reports / "pass.log").string();
        w.save(std::nullopt);
        w.save(pass, Answer::No);
        QCOMPARE(readFile(pass), Log);
        QCOMPARE(w.files()->selectedName(), std::string("pass.log")); // not refreshed
        w.save(pass);
        QCOMPARE(readFile(pass), Processed);
        w.save(w.at("  @/copy.log  ").toStdString());
        QCOMPARE(readFile(w.reports / "copy.log"), Processed);
        QCOMPARE(texts(w.files()), (QStringList{"copy.log", "other.log", "pass.log"})); // refreshed
        w.select("other.log"); // no new run: the earlier processed text goes over it
        w.save((w.reports / "other.log").string());
        QCOMPARE(readFile(w.reports / "other.log"), Processed);
        const auto proposal = [](const char* name) {
            return MessageBox{name, "Tallix", Buttons::Ok, Icon::None};
        };
        const MessageBox overwrite{"Do you want to overwrite the file?", "File already exists",
                                   Buttons::YesNo, Icon::Information};
        QCOMPARE(w.prompts.messages,
                 (Boxes{proposal("pass.log"), proposal("pass.log"), overwrite, proposal("pass.log"),
                        overwrite, proposal("pass.log"), proposal("other.log"), overwrite}));
        QCOMPARE(w.prompts.saveRequests.size(), size_t(5));
        const auto& request = w.prompts.saveRequests[4];
        QCOMPARE(request.title + "|" + request.initialName, std::string("Save File|other.log"));
        QCOMPARE(fs::path(request.folder), fs::canonical(w.reports)); // the file list's
        QVERIFY(w.get("Command3")->isEnabled());
    }

    void richTextSourceProposesText() {
        const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Kest report}\\par "
                                "Fm ZZ9ZZ To CQ >[10:00:00]\\par hello\\par}";
        Window w({{"pass.rtf", rtf}});
        QDir::setCurrent(QString::fromStdString(w.root.string())); // for its temporary copy
        w.run("pass.rtf");
        w.save((w.reports / "pass.txt").string());
        QCOMPARE(w.prompts.messages, (Boxes{{"pass.txt", "Tallix", Buttons::Ok, Icon::None}}));
        QCOMPARE(w.prompts.saveRequests.size(), size_t(1));
        QCOMPARE(w.prompts.saveRequests[0].initialName, std::string("pass.txt"));
        QVERIFY(w.form.processedBytes().find("hello") != std::string::npos);
        QCOMPARE(readFile(w.reports / "pass.txt"), w.form.processedBytes());
        QCOMPARE(readFile(w.reports / "pass.rtf"), rtf);
    }

    void failingWriteKeepsTheOriginal_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("errorNumber");
        QTest::newRow("full device") << "/dev/full" << 61;
        QTest::newRow("missing folder") << "@/gone/copy.log" << 76;
        QTest::newRow("read-only target") << "@/pass.log" << 70;
    }
    void failingWriteKeepsTheOriginal() {
        QFETCH(QString, target);
        QFETCH(int, errorNumber);
        if (errorNumber == 70 && ::geteuid() == 0)
            QSKIP("root writes files whatever their permission bits");
        Window w;
        const std::string selected = (w.reports / "pass.log").string();
        ::chmod(selected.c_str(), 0444);
        w.run();
        w.save(w.at(target).toStdString());
        // The message names the selected file, whatever path was chosen.
        QCOMPARE(w.prompts.messages.size(), size_t(2));
        QCOMPARE(w.prompts.messages[1], (MessageBox{"Error saving file " + selected + " to disk",
                                                    "error nr: " + std::to_string(errorNumber),
                                                    Buttons::Ok, Icon::Exclamation}));
        QCOMPARE(readFile(selected), Log);
        QVERIFY(w.files()->selectedName().empty()); // refreshed all the same
    }

    // The real dialog, answered by a timer: it opens as asked, gives back an
    // existing name without an extension as chosen, and asks nothing itself.
    void qtSaveDialogAsksNothingAndAddsNothing() {
        const Folder kest({{"pass.log", "x"}, {"noext", "x"}});
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* name =
                dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
            if (!name)
                return;
            shown << dialog->windowTitle() << dialog->nameFilters()
                  << dialog->directory().absolutePath() << name->text();
            dialog->selectFile(QStringLiteral("noext"));
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        QTimer rescue; // should the dialog ask anything, this ends the wait
        QObject::connect(&rescue, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        rescue.start(3000);
        const auto chosen = QtPrompts().saveFile({"Save File",
                                                  {{"Text and Log Files", "*.txt;*.log"},
                                                   {"Log Files (*.log)", "*.log"},
                                                   {"All Files (*.*)", "*.*"}},
                                                  kest.reports.string(),
                                                  "pass.log"});
        QCOMPARE(shown,
                 (QStringList{"Save File", "Text and Log Files (*.txt *.log)", "Log Files (*.log)",
                              "All Files (*)", kest.at("@"), "pass.log"}));
        QCOMPARE(fs::weakly_canonical(chosen.value_or("/")), fs::canonical(kest.reports / "noext"));
    }

    void print_data() {
        QTest::addColumn<QString>("pdf"); // the file printed into; empty: the system's printer
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("shown"); // after the question
        QTest::newRow("into a PDF file") << "@/out.pdf" << true << "";
        QTest::newRow("answered No") << "@/out.pdf" << false << "";
        QTest::newRow("no printer")
            << "" << true << "No printer is installed, so the processed file was not printed.";
        QTest::newRow("printer failed")
            << "@/gone/out.pdf" << true << "The printer could not print the processed file.";
    }
    void print() {
        QFETCH(QString, pdf);
        QFETCH(bool, yes);
        QFETCH(QString, shown);
        if (pdf.isEmpty() && !QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed here; nothing is printed on it by a test");
        Window w;
        QtPrinter printer(w.at(pdf));
        if (!pdf.isEmpty())
            w.form.setPrinter(printer);
        w.run();
        w.prompts.answers = {yes ? Answer::Yes : Answer::No};
        bool hourglass = false; // while the window catches up after printing
        QTimer::singleShot(0, &w.form, [&] {
            hourglass = QApplication::overrideCursor() &&
                        QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        });
        w.click("Command7");
        QCOMPARE(hourglass, yes);
        QVERIFY(!QApplication::overrideCursor());
        Boxes boxes{{"Do you want to print the processed file?", "Print", Buttons::YesNo}};
        if (!shown.isEmpty())
            boxes.push_back({shown.toStdString(), "Print", Buttons::Ok, Icon::Exclamation});
        QCOMPARE(w.prompts.messages, boxes);
        QCOMPARE(QFile::exists(w.at(pdf)), yes && shown.isEmpty());
        if (!yes || !shown.isEmpty())
            return;
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed; the printed text is not checked");
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-layout"), w.at(pdf), QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        // Every processed line on a line of its own, in Windows-1252 characters.
        const QString text = QString::fromUtf8(extract.readAllStandardOutput()).trimmed();
        QCOMPARE(text.split(QRegularExpression(QStringLiteral("\\s*\\n\\s*"))),
                 fromBytes(Processed).split("\r\n", Qt::SkipEmptyParts));
        QVERIFY(text.contains(QString::fromUtf8("café € 5")));
    }

    // Copy, the heard list's popup menu and its copy, and Sort; first with
    // nothing to copy.
    void clipboardPopupAndSort() {
        Window w;
        w.form.show();
        auto* menu = w.get<QMenu>("menucopyheard");
        auto* copyHeard = w.form.findChild<QAction*>(QStringLiteral("menucopyheard1"));
        QVERIFY(menu->actions().contains(copyHeard));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        w.form.Command8_Click(); // an empty pane: silently nothing
        copyHeard->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(w.prompts.messages,
                 (Boxes{{"No heard list to copy to clipboard", "Empty MHeard List", Buttons::Ok,
                         Icon::Exclamation}}));
        w.run();
        w.click("Command8");
        QCOMPARE(QGuiApplication::clipboard()->text(), fromBytes(Processed));
        QCOMPARE(w.prompts.messages.size(), size_t(2));
        QCOMPARE(w.prompts.messages[1], (MessageBox{"Processed file copied to the Clipboard.",
                                                    "Copy", Buttons::Ok, Icon::Information}));
        // The menu pops up for the right button alone.
        for (const auto& [button, held] :
             {std::pair{Qt::LeftButton, Qt::MouseButtons(Qt::LeftButton)},
              {Qt::RightButton, Qt::LeftButton | Qt::RightButton},
              {Qt::RightButton, Qt::MouseButtons(Qt::RightButton)}}) {
            w.press("List1", button, held);
            QCOMPARE(menu->isVisible(), held == Qt::RightButton);
        }
        menu->hide();
        // Sort only swaps the lists on view; the copy is in order of hearing all the same.
        auto* list1 = w.get<QListWidget>("List1");
        auto* list2 = w.get<QListWidget>("List2");
        list1->setCurrentRow(1);
        for (bool sorted : {true, false, true}) {
            w.get<QCheckBox>("Check2")->click();
            QVERIFY(list1->isHidden() == sorted && list2->isHidden() == !sorted);
        }
        w.press("List2", Qt::RightButton, Qt::RightButton);
        QVERIFY(menu->isVisible());
        copyHeard->trigger();
        menu->hide();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ZZ9ZZ,AB1CD,EF2GH,"));
        QCOMPARE(texts(list1), (QStringList{"ZZ9ZZ", "AB1CD", "EF2GH"}));
        QCOMPARE(texts(list2), (QStringList{"AB1CD", "EF2GH", "ZZ9ZZ"}));
        QVERIFY(list1->item(1)->isSelected());
    }

    void renameAndDelete() {
        Window w({{"pass.log", "x"}, {"other.log", "y"}});
        // Nothing selected: Rename says nothing; Delete, enabled from the start, asks for one.
        w.click("cmdRename");
        w.click("Command4");
        QVERIFY(w.prompts.inputs.empty());
        w.select("pass.log");
        // Too short, onto another file and into another folder: nothing renamed,
        // the list not refreshed; then a name that keeps the extension.
        w.prompts.inputAnswers = {"ab", "other", "../Logs/moved", "pass2"};
        for (int i = 0; i < 4; ++i)
            w.click("cmdRename");
        QCOMPARE(
            w.prompts.inputs,
            std::vector(4, InputBox{"Type the new name of this file:", "Rename File", "pass.log"}));
        QCOMPARE(texts(w.files()), (QStringList{"other.log", "pass2.log"}));
        QVERIFY(fs::is_empty(w.root / "Logs"));
        w.select("pass2.log");
        w.prompts.answers = {Answer::No, Answer::Yes};
        w.click("Command4");
        QVERIFY(fs::exists(w.reports / "pass2.log"));
        w.click("Command4");
        QCOMPARE(texts(w.files()), QStringList{"other.log"});
        QVERIFY(!w.get("Command4")->isEnabled());
        // Selecting a file enables it again; a deletion that fails is not reported.
        w.select("other.log");
        QVERIFY(w.get("Command4")->isEnabled());
        fs::remove(w.reports / "other.log");
        w.click("Command4");
        QVERIFY(!w.get("Command4")->isEnabled());
        QCOMPARE(w.prompts.titles(),
                 (std::vector<std::string>{"No file selected", "Rename error:58", "Rename error:52",
                                           "Delete", "Delete", "Delete"}));
        QCOMPARE(w.prompts.messages[0],
                 (MessageBox{"Please select a file first to delete", "No file selected",
                             Buttons::Ok, Icon::Information}));
        QCOMPARE(w.prompts.messages[1], (MessageBox{"Could not rename file!", "Rename error:58",
                                                    Buttons::Ok, Icon::Exclamation}));
        QCOMPARE(w.prompts.messages[3], (MessageBox{"Are you sure you want to delete pass2.log ?",
                                                    "Delete", Buttons::YesNo, Icon::None}));
    }
};

QTEST_MAIN(ActionsTest)
#include "actions_test.moc"
