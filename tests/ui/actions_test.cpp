// The main window's file actions driven as a user drives them, with scripted
// answers to every prompt: Save, Print, Copy, the heard list's popup menu and
// Sort, Rename and Delete. Their finer rules are tested in tests/actions.

#include <QPrinterInfo>

#include "ui/file_list_box.h"
#include "ui/qt_printer.h"
#include "ui/qt_prompts.h"
#include "ui/qt_text.h"
#include "window_fixture.h"

using namespace tallix::app;
using namespace tallix::base;
using namespace tallix::ui;
using namespace tallix::ui::test;
using Boxes = std::vector<MessageBox>;

namespace {

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
const Files Pass = {{"Reports/pass.log", Log}};

// "@" stands for the Reports folder.
QString at(const fs::path& reports, QString path) {
    return path.replace('@', QString::fromStdString(reports.string()));
}

FileListBox* files(Window& w) {
    return w.form.findChild<FileListBox*>();
}

// The dialog answered with `path` (nothing: Cancel); whatever happens, the
// current folder is the host folder again afterwards.
void save(Window& w, std::optional<std::string> path, Answer overwrite = Answer::Yes) {
    w.prompts.saveAnswers = {std::move(path)};
    w.prompts.answers = {overwrite};
    w.click("Command3");
    QCOMPARE(fs::current_path(), fs::canonical(w.root));
}

void press(Window& w, const char* list, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* viewport = w.get<QListWidget>(list)->viewport();
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)),
                      button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT
    QString startFolder_;

private slots:
    void initTestCase() {
        startWindowTests();
        startFolder_ = QDir::currentPath();
    }
    // Save moves the current folder; every test starts from the same one.
    void cleanup() { QDir::setCurrent(startFolder_); }

    // Every Save proposes the file selected at the time; a failing write keeps
    // the file and names the selected one, whatever path was chosen.
    void save() {
        Window w({{"Reports/pass.log", Log}, {"Reports/other.log", "other"}});
        w.run("pass.log");
        const std::string pass = (w.reports / "pass.log").string();
        ::save(w, std::nullopt);
        ::save(w, pass, Answer::No);
        QCOMPARE(readBytes(pass), Log);
        QCOMPARE(files(w)->selectedName(), "pass.log"); // not refreshed
        ::save(w, pass);
        QCOMPARE(readBytes(pass), Processed);
        ::save(w, at(w.reports, "  @/copy.log  ").toStdString());
        QCOMPARE(readBytes(w.reports / "copy.log"), Processed);
        QCOMPARE(texts(files(w)), (QStringList{"copy.log", "other.log", "pass.log"})); // refreshed
        w.select("other.log"); // no new run: the earlier processed text goes over it
        ::save(w, (w.reports / "other.log").string());
        QCOMPARE(readBytes(w.reports / "other.log"), Processed);
        ::save(w, at(w.reports, "@/gone/copy.log").toStdString());
        QCOMPARE(readBytes(pass), Processed);
        QVERIFY(files(w)->selectedName().empty()); // refreshed all the same
        const auto proposal = [](const char* name) {
            return MessageBox{name, "Tallix", Buttons::Ok, Icon::None};
        };
        const MessageBox overwrite{"Do you want to overwrite the file?", "File already exists",
                                   Buttons::YesNo, Icon::Information};
        QCOMPARE(w.prompts.messages,
                 (Boxes{proposal("pass.log"),
                        proposal("pass.log"),
                        overwrite,
                        proposal("pass.log"),
                        overwrite,
                        proposal("pass.log"),
                        proposal("other.log"),
                        overwrite,
                        proposal("other.log"),
                        {"Error saving file " + (w.reports / "other.log").string() + " to disk",
                         "error nr: 76", Buttons::Ok, Icon::Exclamation}}));
        const auto& request = w.prompts.saveRequests.at(4);
        QCOMPARE(request.title + "|" + request.initialName, "Save File|other.log");
        QCOMPARE(fs::path(request.folder), fs::canonical(w.reports)); // the file list's
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
        Window w(Pass);
        pdf = at(w.reports, pdf);
        QtPrinter printer(pdf);
        if (!pdf.isEmpty())
            w.form.setPrinter(printer);
        w.run("pass.log");
        w.prompts.answers = {yes ? Answer::Yes : Answer::No};
        w.click("Command7");
        Boxes boxes{{"Do you want to print the processed file?", "Print", Buttons::YesNo}};
        if (!shown.isEmpty())
            boxes.push_back({shown.toStdString(), "Print", Buttons::Ok, Icon::Exclamation});
        QCOMPARE(w.prompts.messages, boxes);
        QCOMPARE(QFile::exists(pdf), yes && shown.isEmpty());
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (!QFile::exists(pdf) || pdftotext.isEmpty())
            return;
        QProcess extract;
        extract.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(extract.waitForFinished(30000));
        // Every processed line on a line of its own, in Windows-1252 characters
        // ("café € 5").
        const QString text = QString::fromUtf8(extract.readAllStandardOutput()).trimmed();
        QCOMPARE(text.split(QRegularExpression(QStringLiteral("\\s*\\n\\s*"))),
                 fromBytes(Processed).split("\r\n", Qt::SkipEmptyParts));
    }

    // Copy, the heard list's popup menu and its copy, and Sort; first with
    // nothing to copy.
    void clipboardPopupAndSort() {
        Window w(Pass);
        w.form.show();
        auto* menu = w.get<QMenu>("menucopyheard");
        auto* copyHeard = w.get<QAction>("menucopyheard1");
        QVERIFY(menu->actions().contains(copyHeard));
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        w.get("Command8")->setEnabled(true);
        w.click("Command8"); // an empty pane: silently nothing
        copyHeard->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        w.run("pass.log");
        w.click("Command8");
        QCOMPARE(QGuiApplication::clipboard()->text(), fromBytes(Processed));
        QCOMPARE(w.prompts.messages, (Boxes{{"No heard list to copy to clipboard",
                                             "Empty MHeard List", Buttons::Ok, Icon::Exclamation},
                                            {"Processed file copied to the Clipboard.", "Copy",
                                             Buttons::Ok, Icon::Information}}));
        // The menu pops up for the right button alone.
        for (const auto& [button, held] :
             {std::pair{Qt::LeftButton, Qt::MouseButtons(Qt::LeftButton)},
              {Qt::RightButton, Qt::LeftButton | Qt::RightButton},
              {Qt::RightButton, Qt::MouseButtons(Qt::RightButton)}}) {
            press(w, "List1", button, held);
            QCOMPARE(menu->isVisible(), held == Qt::RightButton);
        }
        menu->hide();
        // Sort only swaps the lists on view; the copy is in order of hearing all the same.
        w.get<QListWidget>("List1")->setCurrentRow(1);
        for (bool sorted : {true, false, true}) {
            w.get<QCheckBox>("Check2")->click();
            QVERIFY(w.get("List1")->isHidden() == sorted && w.get("List2")->isHidden() == !sorted);
        }
        press(w, "List2", Qt::RightButton, Qt::RightButton);
        QVERIFY(menu->isVisible());
        copyHeard->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ZZ9ZZ,AB1CD,EF2GH,"));
        QCOMPARE(w.entries("List2"), (QStringList{"AB1CD", "EF2GH", "ZZ9ZZ"}));
        QVERIFY(w.get<QListWidget>("List1")->item(1)->isSelected());
    }

    void renameAndDelete() {
        Window w({{"Reports/pass.log", "x"}, {"Reports/other.log", "y"}});
        // Nothing selected: Rename says nothing; Delete, enabled from the start, asks for one.
        w.click("cmdRename");
        w.click("Command4");
        w.select("pass.log");
        // Onto another file: nothing renamed, the list not refreshed; then a
        // name that keeps the extension. (The name rules are the core's.)
        w.prompts.inputAnswers = {"other", "pass2"};
        w.click("cmdRename");
        w.click("cmdRename");
        QCOMPARE(
            w.prompts.inputs,
            std::vector(2, InputBox{"Type the new name of this file:", "Rename File", "pass.log"}));
        QCOMPARE(texts(files(w)), (QStringList{"other.log", "pass2.log"}));
        w.select("pass2.log");
        w.prompts.answers = {Answer::No, Answer::Yes};
        w.click("Command4");
        QVERIFY(fs::exists(w.reports / "pass2.log"));
        w.click("Command4");
        QCOMPARE(texts(files(w)), QStringList{"other.log"});
        QVERIFY(!w.get("Command4")->isEnabled());
        // Selecting a file enables it again; a deletion that fails is not reported.
        w.select("other.log");
        QVERIFY(w.get("Command4")->isEnabled());
        fs::remove(w.reports / "other.log");
        w.click("Command4");
        QVERIFY(!w.get("Command4")->isEnabled());
        QCOMPARE(w.boxes(), (QStringList{"No file selected: Please select a file first to delete",
                                         "Rename error:58: Could not rename file!",
                                         "Delete: Are you sure you want to delete pass2.log ?",
                                         "Delete: Are you sure you want to delete pass2.log ?",
                                         "Delete: Are you sure you want to delete other.log ?"}));
        QCOMPARE(w.prompts.messages[2].buttons, Buttons::YesNo);
    }
};

QTEST_MAIN(ActionsTest)
#include "actions_test.moc"
