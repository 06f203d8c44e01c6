// Which file the window acts on, driven with real input on the offscreen
// platform and under a real X server, where the focus behaves as on a desktop.

#include <functional>

#include "ui/file_list_box.h"
#include "window_fixture.h"

using namespace tallix::ui::test;
using F = tallix::analysis::SummaryFigures;

namespace {

// Each log names its own station, so the figures tell which file a run read.
const Files ThreeLogs = {{"Reports/a1.log", kestLog("AA1AA")},
                         {"Reports/b2.log", kestLog("BB2BB")},
                         {"Reports/c3.log", kestLog("CC3CC")}};

QListWidget* fileList(Window& w) {
    return w.get<QListWidget>("File1");
}

// The window on screen and active, so that keys and the focus work as for a user.
void activate(Window& w) {
    w.show();
    w.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.form));
}

// Tab (or Shift+Tab) from the focused element until `target` has the focus.
void tabTo(QWidget* target, bool backwards = false) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(QApplication::focusWidget(), target);
}

// What the list and the window say is chosen: the highlighted entries, the
// list's current entry, the file named in Label5.
QString choice(Window& w) {
    QStringList highlighted;
    for (const QListWidgetItem* item : fileList(w)->selectedItems())
        highlighted << item->text();
    const QListWidgetItem* current = fileList(w)->currentItem();
    return "highlight=" + highlighted.join(',') + " current=" + (current ? current->text() : "-") +
           " Label5=" + w.caption("Label5").section('/', -1);
}

const QString NoFileToProcess = "No file selected: Please select a file first to process";

} // namespace

class SelectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    // Giving the list the focus chooses nothing: Process asks for a file.
    void focusAloneChoosesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab into the list") << "tab";
        QTest::newRow("click on the list's empty area, another window, back") << "empty";
        QTest::newRow("an entry made current by code") << "code";
    }
    void focusAloneChoosesNothing() {
        QFETCH(QString, how);
        Window w(ThreeLogs);
        activate(w);
        QListWidget* list = fileList(w);
        if (how == "tab") {
            tabTo(list);
        } else if (how == "empty") {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              QPoint(4, list->viewport()->height() - 3));
            QCOMPARE(QApplication::focusWidget(), list);
            // The user turns to another window and comes back, as after a dialog.
            QWidget other;
            other.resize(100, 100);
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            w.form.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w.form));
            QCOMPARE(QApplication::focusWidget(), list);
        } else {
            list->setCurrentRow(1);
            list->setFocus(Qt::OtherFocusReason);
        }
        QTRY_COMPARE(choice(w), "highlight= current=- Label5=none");
        QCOMPARE(w.get<QTextEdit>("Text1")->toPlainText(), QString());
        w.click("Command2");
        QCOMPARE(w.boxes(), QStringList{NoFileToProcess});
    }

    // Keys pressed in the list choose, one after the other; Ctrl+Space takes
    // the highlight and the choice away, Enter brings them back.
    void keysChoose() {
        Window w(ThreeLogs);
        activate(w);
        QListWidget* list = fileList(w);
        tabTo(list);
        struct Step {
            int key;
            Qt::KeyboardModifiers modifiers;
            QString choice;
        };
        const Step steps[] = {
            {Qt::Key_Down, {}, "highlight=a1.log current=a1.log Label5=a1.log"},
            {Qt::Key_End, {}, "highlight=c3.log current=c3.log Label5=c3.log"},
            {Qt::Key_B, {}, "highlight=b2.log current=b2.log Label5=b2.log"},
            {Qt::Key_Space, Qt::ControlModifier, "highlight= current=b2.log Label5=b2.log"},
        };
        for (const Step& step : steps) {
            QTest::keyClick(list, static_cast<Qt::Key>(step.key), step.modifiers);
            QCOMPARE(choice(w), step.choice);
        }
        w.click("Command2"); // no highlight: no chosen file
        QCOMPARE(w.boxes(), QStringList{NoFileToProcess});
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(choice(w), "highlight=b2.log current=b2.log Label5=b2.log");
        w.click("Command2");
        QCOMPARE(w.entries("List1"), (QStringList{"BB2BB"}));
    }

    // After Save, Delete or Rename the list shows no highlight, and the focus
    // coming back to it (as after a dialog) chooses nothing: Process asks, and
    // a further Save proposes the file of the run, never another.
    void fileActionsLeaveTheChoiceToTheUser_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("deleteEnabled");
        QTest::newRow("Save over the file") << "save" << true;
        QTest::newRow("Delete the file") << "delete" << false;
        QTest::newRow("Rename the file") << "rename" << true;
    }
    void fileActionsLeaveTheChoiceToTheUser() {
        QFETCH(QString, action);
        QFETCH(bool, deleteEnabled);
        Window w(ThreeLogs);
        activate(w);
        w.prompts.keepProposal = true;
        w.run("b2.log");
        QCOMPARE(w.entries("List1"), (QStringList{"BB2BB"}));
        const std::string processed = w.form.processedBytes();
        w.prompts.inputAnswers = {"renamed"};
        w.click(action == "save" ? "Command3" : action == "delete" ? "Command4" : "cmdRename");
        // The focus leaves the list and comes back.
        QListWidget* list = fileList(w);
        tabTo(list);
        tabTo(w.get("Check2"));
        tabTo(list, true);
        QTRY_COMPARE(choice(w), "highlight= current=- Label5=b2.log");
        QCOMPARE(w.get("Command4")->isEnabled(), deleteEnabled);
        QVERIFY(w.get<QTextEdit>("Text1")->toPlainText().contains("BB2BB"));

        w.prompts.messages.clear();
        w.click("Command2");
        QCOMPARE(w.boxes(), QStringList{NoFileToProcess});
        w.click("Command3"); // the proposal kept, overwrite answered Yes
        QCOMPARE(readBytes(w.reports / "b2.log"), processed);
        QCOMPARE(w.prompts.saveRequests.back().initialName, "b2.log");
    }

    // Closing the window ends a run where it next lets events run; it shows
    // nothing more, not even a failure.
    void closingEndsARun() {
        Window w({{"Reports/long.log", longLog(20000)}});
        activate(w);
        w.select("long.log");
        QString atClose;
        QVERIFY(processMeanwhile(
            w, [&] { return w.caption("Label19").startsWith("Pre-processing Data Line 2"); },
            [&] {
                atClose = w.caption("Label19");
                w.form.close();
            }));
        QVERIFY(!w.form.running());
        QCOMPARE(w.titles(), QStringList{});
        QCOMPARE(w.caption("Label19"), atClose); // not a line further
        QCOMPARE(w.figure(&F::receivedHeaders) + " " +
                     w.get<QPlainTextEdit>("Text2")->toPlainText(),
                 "0 ");
    }
};

QTEST_MAIN(SelectionTest)
#include "selection_test.moc"
