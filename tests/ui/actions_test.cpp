// The main window's file actions driven as a user drives them: Save, Print,
// Copy, the heard list's popup menu and Sort, Rename and Delete, with scripted
// answers to every prompt.

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QProcess>
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
#include "ui/printer.h"
#include "ui/qt_printer.h"
#include "ui/qt_prompts.h"
#include "ui/qt_text.h"

using tallix::app::Buttons;
using tallix::app::Icon;
using tallix::app::MessageBox;
using tallix::ui::Answer;
using tallix::ui::Form1;
using tallix::ui::fromBytes;
using tallix::ui::PrintResult;
using tallix::ui::test::FakePrompts;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n";

// Own call AB1CD: the own frame as sent goes with its data line; stations heard
// in the order ZZ9ZZ, AB1CD, EF2GH.
const std::string SmallLog = "Report Kest 3.1\r\n"
                             "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\n"
                             "caf\xE9 \x80 5\r\n"
                             "Fm AB1CD To CQ Via DIGI >[10:10:00]\r\n"
                             "my data\r\n"
                             "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\n"
                             "my data\r\n"
                             "Fm EF2GH To ZZ9ZZ >[10:30:00]\r\n"
                             "bye\r\n";
const std::string SmallProcessed = "Report Kest 3.1\r\n"
                                   "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\n"
                                   "caf\xE9 \x80 5\r\n"
                                   "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\n"
                                   "my data\r\n"
                                   "Fm EF2GH To ZZ9ZZ >[10:30:00]\r\n"
                                   "bye\r\n";

// A Kest folder with its three subfolders in a temporary directory.
struct KestFolder {
    QTemporaryDir dir;
    fs::path root() const { return fs::path(dir.path().toStdString()); }
    fs::path reports() const { return root() / "Reports"; }
    KestFolder() {
        writeFile(root() / "kest.ini", Settings);
        for (const char* s : {"Reports", "Logs", "Monitor"})
            fs::create_directory(root() / s);
    }
};

// Records what it was asked to print and answers as told.
class FakePrinter : public tallix::ui::Printer {
public:
    PrintResult result = PrintResult::Printed;
    QStringList printed;
    bool busyWhilePrinting = false;
    PrintResult print(const QString& text) override {
        printed << text;
        busyWhilePrinting = QApplication::overrideCursor() &&
                            QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return result;
    }
};

struct Window {
    FakePrompts prompts;
    Form1 form;
    explicit Window(const KestFolder& kest) : form({kest.root().string(), "4KTRMN"}, prompts) {
        if (!form.Form_Load())
            qFatal("start-up failed");
    }

    template <class T = QWidget> T* get(const char* name) {
        auto* w = form.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no element %s", name);
        return w;
    }
    tallix::ui::FileListBox* files() { return form.findChild<tallix::ui::FileListBox*>(); }
    void select(const QString& name) {
        const auto found = files()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        files()->setCurrentItem(found.first());
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < files()->count(); ++i)
            names << files()->item(i)->text();
        return names;
    }
    void click(const char* button) { QTest::mouseClick(get<QToolButton>(button), Qt::LeftButton); }
    // Selects the file and runs an analysis of it.
    void run(const QString& name) {
        select(name);
        click("Command2");
        QVERIFY(get<QToolButton>("Command3")->isEnabled());
    }
    QMenu* popup() { return get<QMenu>("menucopyheard"); }
    void pressOn(const char* list, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* viewport = get<QListWidget>(list)->viewport();
        const QPointF at(5, 5);
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
    }
};

QString message(const MessageBox& box) {
    return QString::fromStdString(box.text) + " | " + QString::fromStdString(box.title);
}

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        QLocale::setDefault(QLocale::c());
        QStandardPaths::setTestModeEnabled(true);
        startFolder_ = QDir::currentPath();
    }
    // Save moves the current folder; every test starts from the same one.
    void cleanup() { QDir::setCurrent(startFolder_); }

    void saveOverTheSelectedFile();
    void saveToANewName_data();
    void saveToANewName();
    void richTextSourceProposesText();
    void cancelOrNoLeavesTheDisk_data();
    void cancelOrNoLeavesTheDisk();
    void failingWriteKeepsTheOriginal_data();
    void failingWriteKeepsTheOriginal();
    void proposalFollowsTheSelection();
    void saveDialogFilters_data();
    void saveDialogFilters();
    void qtSaveDialogAsksNothingAndAddsNothing();

    void printToPdf();
    void printAnsweredNo();
    void printThatFails_data();
    void printThatFails();
    void systemPrinterWithoutAnyPrinter();

    void copyProcessedText();
    void copyWithEmptyPaneDoesNothing();
    void popupOnlyForTheRightButtonAlone_data();
    void popupOnlyForTheRightButtonAlone();
    void heardListCopiedInOrderOfHearing();
    void emptyHeardList();
    void sortSwapsTheListsOnly();

    void rename_data();
    void rename();
    void renameWithoutSelection();
    void deleteWithoutSelection();
    void deleteAskedThenDone();
    void deleteThatFailsIsNotReported_data();
    void deleteThatFailsIsNotReported();

private:
    QString startFolder_;
};

// ---- Save ----

void ActionsTest::saveOverTheSelectedFile() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    ::chmod((kest.reports() / "pass.log").c_str(), 0640);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    const std::string selected = (kest.reports() / "pass.log").string();
    w.prompts.saveAnswers.push_back(selected);
    w.prompts.answers.push_back(Answer::Yes);
    w.click("Command3");

    QCOMPARE(w.prompts.messages.size(), size_t(2));
    QCOMPARE(w.prompts.messages[0], (MessageBox{"pass.log", "Tallix", Buttons::Ok, Icon::None}));
    QCOMPARE(w.prompts.messages[1],
             (MessageBox{"Do you want to overwrite the file?", "File already exists",
                         Buttons::YesNo, Icon::Information}));
    QCOMPARE(w.prompts.saveRequests.size(), size_t(1));
    const auto& request = w.prompts.saveRequests[0];
    QCOMPARE(QString::fromStdString(request.title), QStringLiteral("Save File"));
    QCOMPARE(QString::fromStdString(request.initialName), QStringLiteral("pass.log"));
    // The dialog opens in the file list's folder, the current folder meanwhile.
    QCOMPARE(fs::path(request.folder), fs::canonical(kest.reports()));

    QCOMPARE(bytes(readFile(selected)), bytes(SmallProcessed));
    QCOMPARE(fs::status(selected).permissions() & fs::perms::mask,
             fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    QCOMPARE(fs::current_path(), fs::canonical(kest.root()));
    // Nothing else changes; the same text can be saved again.
    QCOMPARE(w.form.currentFile(), selected);
    QCOMPARE(w.get<QLabel>("Label5")->text(), QString::fromStdString(selected));
    QCOMPARE(bytes(w.form.processedBytes()), bytes(SmallProcessed));
    QVERIFY(w.get<QToolButton>("Command3")->isEnabled());
    QCOMPARE(w.listed(), QStringList{QStringLiteral("pass.log")});
}

void ActionsTest::saveToANewName_data() {
    QTest::addColumn<QString>("answer"); // relative to the Reports folder
    QTest::addColumn<QString>("written");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("new name") << "copy.txt"
                              << "copy.txt" << QStringList{"copy.txt", "pass.log"};
    QTest::newRow("no extension added") << "copy"
                                        << "copy" << QStringList{"pass.log"};
    QTest::newRow("blanks around the path") << "  copy.log  "
                                            << "copy.log" << QStringList{"copy.log", "pass.log"};
    QTest::newRow("another folder") << "../Logs/copy.log"
                                    << "../Logs/copy.log" << QStringList{"pass.log"};
}

void ActionsTest::saveToANewName() {
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QStringList, listed);
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    const QString base = QString::fromStdString(kest.reports().string()) + "/";
    const QString trimmed = answer.trimmed();
    w.prompts.saveAnswers.push_back(
        (answer.startsWith(' ') ? "  " + base + trimmed + "  " : base + answer).toStdString());
    w.click("Command3");

    QCOMPARE(w.prompts.messages.size(), size_t(1)); // no overwrite question
    QCOMPARE(bytes(readFile((kest.reports() / written.toStdString()).string())),
             bytes(SmallProcessed));
    QCOMPARE(bytes(readFile(kest.reports() / "pass.log")), bytes(SmallLog));
    QCOMPARE(w.listed(), listed); // refreshed
    QCOMPARE(fs::current_path(), fs::canonical(kest.root()));
}

void ActionsTest::richTextSourceProposesText() {
    KestFolder kest;
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Kest report}\\par "
                            "Fm ZZ9ZZ To CQ >[10:00:00]\\par hello\\par}";
    writeFile(kest.reports() / "pass.rtf", rtf);
    QDir::setCurrent(QString::fromStdString(kest.root().string())); // for rtftemp.tmp
    Window w(kest);
    w.run(QStringLiteral("pass.rtf"));
    const fs::path text = kest.reports() / "pass.txt";
    w.prompts.saveAnswers.push_back(text.string());
    w.click("Command3");

    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].text), QStringLiteral("pass.txt"));
    QCOMPARE(QString::fromStdString(w.prompts.saveRequests[0].initialName),
             QStringLiteral("pass.txt"));
    QCOMPARE(bytes(readFile(text)), bytes(w.form.processedBytes()));
    QVERIFY(readFile(text).find("{\\rtf") == std::string::npos);
    QCOMPARE(bytes(readFile(kest.reports() / "pass.rtf")), bytes(rtf));
}

void ActionsTest::cancelOrNoLeavesTheDisk_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("messages");
    QTest::newRow("dialog cancelled") << true << 1;
    QTest::newRow("overwrite answered No") << false << 2;
}

void ActionsTest::cancelOrNoLeavesTheDisk() {
    QFETCH(bool, cancel);
    QFETCH(int, messages);
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    w.select(QStringLiteral("pass.log"));
    if (!cancel) {
        w.prompts.saveAnswers.push_back((kest.reports() / "pass.log").string());
        w.prompts.answers.push_back(Answer::No);
    }
    w.click("Command3");

    QCOMPARE(w.prompts.messages.size(), size_t(messages));
    QCOMPARE(bytes(readFile(kest.reports() / "pass.log")), bytes(SmallLog));
    QCOMPARE(fs::current_path(), fs::canonical(kest.root()));
    // Not refreshed: the selection is still there.
    QCOMPARE(QString::fromStdString(w.files()->selectedName()), QStringLiteral("pass.log"));
    QCOMPARE(std::distance(fs::directory_iterator(kest.reports()), fs::directory_iterator()), 1);
}

void ActionsTest::failingWriteKeepsTheOriginal_data() {
    QTest::addColumn<QString>("target"); // "@" stands for the Reports folder
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<bool>("exists");
    QTest::newRow("full device") << "/dev/full" << 61 << false;
    QTest::newRow("missing folder") << "@/gone/copy.log" << 76 << false;
    QTest::newRow("folder in the target's place") << "@/sub.log" << 75 << false;
    QTest::newRow("read-only target") << "@/pass.log" << 70 << true;
}

void ActionsTest::failingWriteKeepsTheOriginal() {
    QFETCH(QString, target);
    QFETCH(int, errorNumber);
    QFETCH(bool, exists);
    if (errorNumber == 70 && ::geteuid() == 0)
        QSKIP("root writes files whatever their permission bits");
    if (target.startsWith("/dev/") && !QFile::exists(target))
        QSKIP("no such device here");
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    fs::create_directory(kest.reports() / "sub.log");
    ::chmod((kest.reports() / "pass.log").c_str(), 0444);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    w.select(QStringLiteral("pass.log"));
    target.replace('@', QString::fromStdString(kest.reports().string()));
    w.prompts.saveAnswers.push_back(target.toStdString());
    w.click("Command3");

    QCOMPARE(w.prompts.messages.size(), size_t(exists ? 3 : 2));
    const std::string selected = (kest.reports() / "pass.log").string();
    // The message names the selected file, whatever path was chosen.
    QCOMPARE(w.prompts.messages.back(), (MessageBox{"Error saving file " + selected + " to disk",
                                                    "error nr: " + std::to_string(errorNumber),
                                                    Buttons::Ok, Icon::Exclamation}));
    QCOMPARE(bytes(readFile(selected)), bytes(SmallLog));
    QCOMPARE(fs::current_path(), fs::canonical(kest.root()));
    QVERIFY(w.files()->selectedName().empty()); // refreshed all the same
    QCOMPARE(w.listed(), QStringList{QStringLiteral("pass.log")});
}

void ActionsTest::proposalFollowsTheSelection() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    writeFile(kest.reports() / "other.log", "other");
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    w.prompts.saveAnswers.push_back((kest.reports() / "copy.txt").string());
    w.click("Command3");
    // A second Save proposes the selected file again, not the name just chosen.
    w.click("Command3");
    QCOMPARE(QString::fromStdString(w.prompts.saveRequests[1].initialName),
             QStringLiteral("pass.log"));
    // Another file selected, no new run: Save proposes it and writes the
    // earlier processed text over it.
    w.select(QStringLiteral("other.log"));
    w.prompts.messages.clear();
    w.prompts.saveAnswers.push_back((kest.reports() / "other.log").string());
    w.prompts.answers.push_back(Answer::Yes);
    w.click("Command3");
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].text), QStringLiteral("other.log"));
    QCOMPARE(QString::fromStdString(w.prompts.saveRequests[2].initialName),
             QStringLiteral("other.log"));
    QCOMPARE(w.prompts.messages[1].title, std::string("File already exists"));
    QCOMPARE(bytes(readFile(kest.reports() / "other.log")), bytes(SmallProcessed));
}

void ActionsTest::saveDialogFilters_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("shown");
    QTest::newRow("patterns added") << "Text and Log Files"
                                    << "*.txt;*.log"
                                    << "Text and Log Files (*.txt *.log)";
    QTest::newRow("own patterns not twice") << "Log Files (*.log)"
                                            << "*.log"
                                            << "Log Files (*.log)";
    QTest::newRow("every name") << "All Files (*.*)"
                                << "*.*"
                                << "All Files (*)";
    QTest::newRow("brackets inside kept") << "Logs (old) only"
                                          << "*.log"
                                          << "Logs (old) only (*.log)";
}

void ActionsTest::saveDialogFilters() {
    QFETCH(QString, description);
    QFETCH(QString, pattern);
    QFETCH(QString, shown);
    QCOMPARE(tallix::ui::nameFilterText({description.toStdString(), pattern.toStdString()}), shown);
}

// The real dialog, answered by a timer: it opens with the title, filters,
// folder and name asked for, returns an existing file without a question of
// its own, and adds no extension to a typed name.
void ActionsTest::qtSaveDialogAsksNothingAndAddsNothing() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", "x");
    tallix::ui::QtPrompts prompts;
    tallix::ui::SaveDialogRequest request{
        "Save File",
        {{"Text and Log Files", "*.txt;*.log"}, {"Log Files (*.log)", "*.log"}},
        kest.reports().string(),
        "pass.log"};
    const QString folder = QString::fromStdString(kest.reports().string());

    for (const QString& typed : {QString(), QStringLiteral("noext")}) {
        QString title, nameShown, folderShown;
        QStringList filters;
        bool answered = false;
        bool folderRead = typed.isEmpty();
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            folderShown = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            nameShown = name ? name->text() : QString();
            if (name && !typed.isEmpty()) {
                // Typed once the folder is read, as a user would.
                auto* view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
                folderRead = QTest::qWaitFor(
                    [view] { return view && view->model()->rowCount(view->rootIndex()) > 0; });
                QApplication::setActiveWindow(dialog);
                name->setFocus();
                name->selectAll();
                QTest::keyClicks(name, typed);
            }
            answered = true;
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        });
        // Should the dialog ask anything, this ends the wait.
        QTimer rescue;
        rescue.setInterval(3000);
        QObject::connect(&rescue, &QTimer::timeout, [] {
            if (QWidget* w = QApplication::activeModalWidget())
                w->close();
        });
        rescue.start();
        const auto chosen = prompts.saveFile(request);
        rescue.stop();
        QVERIFY(answered);
        QVERIFY(folderRead);
        QCOMPARE(title, QStringLiteral("Save File"));
        QCOMPARE(filters, (QStringList{"Text and Log Files (*.txt *.log)", "Log Files (*.log)"}));
        QCOMPARE(folderShown, QDir(folder).absolutePath());
        QCOMPARE(nameShown, QStringLiteral("pass.log"));
        QVERIFY(chosen.has_value());
        QCOMPARE(fs::path(*chosen).filename().string(),
                 typed.isEmpty() ? std::string("pass.log") : typed.toStdString());
        QCOMPARE(fs::canonical(fs::path(*chosen).parent_path()), fs::canonical(kest.reports()));
    }
}

// ---- Print ----

void ActionsTest::printToPdf() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    const QString pdf = kest.dir.filePath(QStringLiteral("out.pdf"));
    tallix::ui::QtPrinter printer(pdf);
    Window w(kest);
    w.form.setPrinter(printer);
    w.run(QStringLiteral("pass.log"));
    w.click("Command7");

    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0], (MessageBox{"Do you want to print the processed file?", "Print",
                                                Buttons::YesNo, Icon::None}));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(QFileInfo(pdf).size() > 0);
    if (pdftotext.isEmpty())
        QSKIP("pdftotext is not installed; the printed text is not checked");
    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(extract.waitForFinished(30000));
    QCOMPARE(extract.exitCode(), 0);
    QStringList lines = QString::fromUtf8(extract.readAllStandardOutput()).split('\n');
    for (QString& l : lines)
        l = l.trimmed();
    lines.removeAll(QString());
    // Every processed line on a line of its own, in order, the 8-bit
    // characters as their Windows-1252 characters.
    QCOMPARE(lines, QString::fromUtf8("Report Kest 3.1\n"
                                      "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\n"
                                      "café € 5\n"
                                      "Fm AB1CD To CQ Via DIGI* >[10:20:00]\n"
                                      "my data\n"
                                      "Fm EF2GH To ZZ9ZZ >[10:30:00]\n"
                                      "bye")
                        .split('\n'));
}

void ActionsTest::printAnsweredNo() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    FakePrinter printer;
    Window w(kest);
    w.form.setPrinter(printer);
    w.run(QStringLiteral("pass.log"));
    w.prompts.answers.push_back(Answer::No);
    w.click("Command7");
    QVERIFY(printer.printed.isEmpty());
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QVERIFY(!QApplication::overrideCursor());
}

void ActionsTest::printThatFails_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("shown"); // empty: no message after the question
    QTest::newRow("printed") << int(PrintResult::Printed) << "";
    QTest::newRow("no printer")
        << int(PrintResult::NoPrinter)
        << "No printer is installed, so the processed file was not printed. | Print";
    QTest::newRow("printer failed")
        << int(PrintResult::Failed) << "The printer could not print the processed file. | Print";
}

void ActionsTest::printThatFails() {
    QFETCH(int, result);
    QFETCH(QString, shown);
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    FakePrinter printer;
    printer.result = PrintResult(result);
    Window w(kest);
    w.form.setPrinter(printer);
    w.run(QStringLiteral("pass.log"));
    w.click("Command7");
    // One document: the whole text, line breaks as new lines.
    QCOMPARE(printer.printed, QStringList{fromBytes(SmallProcessed).replace("\r\n", "\n")});
    QVERIFY(printer.busyWhilePrinting);
    QVERIFY(!QApplication::overrideCursor()); // the pointer is back in every case
    QCOMPARE(w.prompts.messages.size(), size_t(shown.isEmpty() ? 1 : 2));
    if (!shown.isEmpty()) {
        QCOMPARE(message(w.prompts.messages[1]), shown);
        QCOMPARE(w.prompts.messages[1].icon, Icon::Exclamation);
    }
}

void ActionsTest::systemPrinterWithoutAnyPrinter() {
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("a printer is installed here; nothing is printed on it by a test");
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    w.click("Command7");
    QCOMPARE(w.prompts.messages.size(), size_t(2));
    QCOMPARE(message(w.prompts.messages[1]),
             QStringLiteral("No printer is installed, so the processed file was not printed. | "
                            "Print"));
    QVERIFY(!QApplication::overrideCursor());
}

// ---- Clipboard ----

void ActionsTest::copyProcessedText() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    w.click("Command8");
    // Exactly the pane's text, last line break and 8-bit characters included.
    QCOMPARE(QGuiApplication::clipboard()->text(), fromBytes(SmallProcessed));
    QVERIFY(QGuiApplication::clipboard()->text().contains(QString::fromUtf8("café €")));
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0], (MessageBox{"Processed file copied to the Clipboard.", "Copy",
                                                Buttons::Ok, Icon::Information}));
}

void ActionsTest::copyWithEmptyPaneDoesNothing() {
    KestFolder kest;
    // Only an own frame as sent: removed with its data line, nothing is left.
    writeFile(kest.reports() / "own.log", "Fm AB1CD To CQ >[10:00:00]\r\nmy data\r\n");
    Window w(kest);
    w.run(QStringLiteral("own.log"));
    QVERIFY(w.form.processedBytes().empty());
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    const std::size_t shown = w.prompts.messages.size();
    w.click("Command8");
    QCOMPARE(w.prompts.messages.size(), shown);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void ActionsTest::popupOnlyForTheRightButtonAlone_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("held");
    QTest::addColumn<bool>("pops");
    const int left = Qt::LeftButton, right = Qt::RightButton, middle = Qt::MiddleButton;
    for (const char* list : {"List1", "List2"}) {
        const QString l = QString::fromLatin1(list);
        QTest::addRow("%s right", list) << l << right << right << true;
        QTest::addRow("%s left", list) << l << left << left << false;
        QTest::addRow("%s middle", list) << l << middle << middle << false;
        QTest::addRow("%s right while left held", list) << l << right << (left | right) << false;
        QTest::addRow("%s left while right held", list) << l << left << (left | right) << false;
    }
}

void ActionsTest::popupOnlyForTheRightButtonAlone() {
    QFETCH(QString, list);
    QFETCH(int, button);
    QFETCH(int, held);
    QFETCH(bool, pops);
    KestFolder kest;
    Window w(kest);
    w.form.show();
    if (list == "List2")
        w.get<QCheckBox>("Check2")->setChecked(true);
    w.pressOn(list.toLatin1().constData(), Qt::MouseButton(button), Qt::MouseButtons(held));
    QCOMPARE(w.popup()->isVisible(), pops);
    w.popup()->hide();
}

void ActionsTest::heardListCopiedInOrderOfHearing() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.form.show();
    w.run(QStringLiteral("pass.log"));
    auto* copy = w.form.findChild<QAction*>(QStringLiteral("menucopyheard1"));
    QVERIFY(copy);
    QCOMPARE(copy->text(), QStringLiteral("Copy List To Clipboard"));

    w.pressOn("List1", Qt::RightButton, Qt::RightButton);
    QVERIFY(w.popup()->isVisible());
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ZZ9ZZ,AB1CD,EF2GH,"));
    w.popup()->hide();

    // The sorted list on view: the same menu copies List1's order all the same.
    QGuiApplication::clipboard()->clear();
    w.get<QCheckBox>("Check2")->click();
    QCOMPARE(w.get<QListWidget>("List2")->item(0)->text(), QStringLiteral("AB1CD"));
    w.pressOn("List2", Qt::RightButton, Qt::RightButton);
    QVERIFY(w.popup()->isVisible());
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ZZ9ZZ,AB1CD,EF2GH,"));
    QVERIFY(w.prompts.messages.empty());
}

void ActionsTest::emptyHeardList() {
    KestFolder kest;
    Window w(kest);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    w.form.findChild<QAction*>(QStringLiteral("menucopyheard1"))->trigger();
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0],
             (MessageBox{"No heard list to copy to clipboard", "Empty MHeard List", Buttons::Ok,
                         Icon::Exclamation}));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

void ActionsTest::sortSwapsTheListsOnly() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", SmallLog);
    Window w(kest);
    w.run(QStringLiteral("pass.log"));
    auto* list1 = w.get<QListWidget>("List1");
    auto* list2 = w.get<QListWidget>("List2");
    list1->setCurrentRow(1);
    auto* sort = w.get<QCheckBox>("Check2");
    for (int i = 0; i < 3; ++i) {
        sort->click();
        QVERIFY(list1->isHidden());
        QVERIFY(!list2->isHidden());
        sort->click();
        QVERIFY(!list1->isHidden());
        QVERIFY(list2->isHidden());
    }
    QCOMPARE(list1->count(), 3);
    QCOMPARE(list1->item(0)->text(), QStringLiteral("ZZ9ZZ"));
    QCOMPARE(list2->item(0)->text(), QStringLiteral("AB1CD"));
    QCOMPARE(list1->currentRow(), 1);
    QVERIFY(list1->item(1)->isSelected());
}

// ---- Rename and Delete ----

void ActionsTest::rename_data() {
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after"); // the folder's files afterwards
    QTest::addColumn<QString>("error");     // the error box's title, or empty

    const QString other = QStringLiteral("other.log");
    QTest::newRow("extension kept") << "pass.log"
                                    << "pass2" << QStringList{other, "pass2.log"} << "";
    QTest::newRow("other extension is part of the name")
        << "pass.log"
        << "pass2.txt" << QStringList{other, "pass2.txt.log"} << "";
    QTest::newRow("extension compared with case")
        << "pass.log"
        << "PASS2.LOG" << QStringList{other, "PASS2.LOG.log"} << "";
    QTest::newRow("answer trimmed") << "pass.rtf"
                                    << "  new  " << QStringList{"new.rtf", other} << "";
    QTest::newRow("two characters") << "pass.log"
                                    << "ab" << QStringList{other, "pass.log"} << "";
    QTest::newRow("cancel") << "pass.log"
                            << "" << QStringList{other, "pass.log"} << "";
    QTest::newRow("onto another file")
        << "pass.log"
        << "other" << QStringList{other, "pass.log"} << "Rename error:58";
    QTest::newRow("into another folder")
        << "pass.log"
        << "../Logs/moved" << QStringList{other, "pass.log"} << "Rename error:52";
}

void ActionsTest::rename() {
    QFETCH(QString, selected);
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    QFETCH(QString, error);
    KestFolder kest;
    writeFile(kest.reports() / selected.toStdString(), "content");
    writeFile(kest.reports() / "other.log", "other");
    Window w(kest);
    w.select(selected);
    const QString label5 = w.get<QLabel>("Label5")->text();
    w.prompts.inputAnswers.push_back(answer.toStdString());
    w.click("cmdRename");

    QCOMPARE(w.prompts.inputs.size(), size_t(1));
    QCOMPARE(w.prompts.inputs[0], (tallix::app::InputBox{"Type the new name of this file:",
                                                         "Rename File", selected.toStdString()}));
    QCOMPARE(w.listed(), after);
    QStringList onDisk;
    for (const auto& e : fs::directory_iterator(kest.reports()))
        onDisk << QString::fromStdString(e.path().filename().string());
    onDisk.sort(Qt::CaseInsensitive);
    QCOMPARE(onDisk, after);
    QVERIFY(fs::is_empty(kest.root() / "Logs"));
    QCOMPARE(readFile(kest.reports() / "other.log"), std::string("other"));
    if (error.isEmpty()) {
        QVERIFY(w.prompts.messages.empty());
    } else {
        QCOMPARE(w.prompts.messages.size(), size_t(1));
        QCOMPARE(w.prompts.messages[0], (MessageBox{"Could not rename file!", error.toStdString(),
                                                    Buttons::Ok, Icon::Exclamation}));
        // Not refreshed: the selection is still there.
        QCOMPARE(QString::fromStdString(w.files()->selectedName()), selected);
    }
    // The rest of the window still names the file it had selected.
    QCOMPARE(w.get<QLabel>("Label5")->text(), label5);
    QVERIFY(w.get<QToolButton>("cmdRename")->isEnabled());
}

void ActionsTest::renameWithoutSelection() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", "x");
    Window w(kest);
    w.click("cmdRename");
    QVERIFY(w.prompts.inputs.empty());
    QVERIFY(w.prompts.messages.empty());
}

void ActionsTest::deleteWithoutSelection() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", "x");
    Window w(kest);
    QVERIFY(w.get<QToolButton>("Command4")->isEnabled());
    w.click("Command4");
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0],
             (MessageBox{"Please select a file first to delete", "No file selected", Buttons::Ok,
                         Icon::Information}));
    QVERIFY(fs::exists(kest.reports() / "pass.log"));
}

void ActionsTest::deleteAskedThenDone() {
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", "x");
    writeFile(kest.reports() / "other.log", "y");
    Window w(kest);
    w.select(QStringLiteral("pass.log"));
    w.prompts.answers = {Answer::No, Answer::Yes};
    w.click("Command4");
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(w.prompts.messages[0], (MessageBox{"Are you sure you want to delete pass.log ?",
                                                "Delete", Buttons::YesNo, Icon::None}));
    QVERIFY(fs::exists(kest.reports() / "pass.log"));
    QVERIFY(w.get<QToolButton>("Command4")->isEnabled());

    w.click("Command4");
    QVERIFY(!fs::exists(kest.reports() / "pass.log"));
    QCOMPARE(w.listed(), QStringList{QStringLiteral("other.log")});
    QVERIFY(!w.get<QToolButton>("Command4")->isEnabled());
    // Selecting a file enables it again.
    w.select(QStringLiteral("other.log"));
    QVERIFY(w.get<QToolButton>("Command4")->isEnabled());
}

void ActionsTest::deleteThatFailsIsNotReported_data() {
    QTest::addColumn<bool>("lockFolder"); // else the file vanishes before the click
    QTest::newRow("folder that may not be written") << true;
    QTest::newRow("file already gone") << false;
}

void ActionsTest::deleteThatFailsIsNotReported() {
    QFETCH(bool, lockFolder);
    if (lockFolder && ::geteuid() == 0)
        QSKIP("root deletes in any folder");
    KestFolder kest;
    writeFile(kest.reports() / "pass.log", "x");
    Window w(kest);
    w.select(QStringLiteral("pass.log"));
    if (lockFolder)
        ::chmod(kest.reports().c_str(), 0555);
    else
        fs::remove(kest.reports() / "pass.log");
    w.click("Command4");
    ::chmod(kest.reports().c_str(), 0755);
    QCOMPARE(w.prompts.messages.size(), size_t(1)); // the question only
    QCOMPARE(w.listed(), lockFolder ? QStringList{QStringLiteral("pass.log")} : QStringList{});
    QVERIFY(!w.get<QToolButton>("Command4")->isEnabled());
}

QTEST_MAIN(ActionsTest)
#include "actions_test.moc"
