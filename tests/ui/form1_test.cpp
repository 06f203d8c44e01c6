// The main window driven as a user drives it: start-up, folders, selection,
// preview and analysis runs, with scripted answers to every prompt. The rules
// behind the figures are tested on the core; here they reach the window.

#include <functional>

#include "ui/file_list_box.h"
#include "window_fixture.h"

using namespace tallix::ui::test;

namespace {

// Own call AB1CD: one own frame as sent (dropped with its data line), one heard
// back via the digipeater; stations ZZ9ZZ, AB1CD, EF2GH from 10:00:00 to 10:30:00.
const std::string SmallLog = "Report Kest 3.1\r\n"
                             "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\nhello\r\n"
                             "Fm AB1CD To CQ Via DIGI >[10:10:00]\r\nmy data\r\n"
                             "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\nmy data\r\n\r\n\r\n"
                             "1:Fm EF2GH To ZZ9ZZ >[10:30:00]\r\nbye\r\n";

using F = tallix::analysis::SummaryFigures;

// The captions of the labels `names`, in that order.
QStringList captions(Window& w, const QStringList& names) {
    QStringList shown;
    for (const QString& name : names)
        shown << w.caption(name);
    return shown;
}

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    void startup_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("subfolders");
        // The message that ends the program, or the call sign and the folder
        // choices enabled, "*" after the chosen one.
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, const char* argument, const std::string& settings,
                            const char* subfolders, const char* outcome) {
            QTest::newRow(name) << argument << QString::fromStdString(settings) << subfolders
                                << outcome;
        };
        row("all folders: Reports shown", "4KTRMN", Settings, "Reports,Logs,Monitor",
            "AB1CD 01*23");
        row("only Logs", "4KTRMN", Settings, "Logs", "AB1CD 0*2");
        row("developer code, no settings, no folders", " hstk_rw4bz_lmq ", "", "", " 0*");
        row("no argument", "", Settings, "", "stop: Tallix 1.4.0 for Kest");
    }
    void startup() {
        QFETCH(QString, argument);
        QFETCH(QString, settings);
        QFETCH(QString, subfolders);
        QFETCH(QString, outcome);
        Window w({}, subfolders, settings.toStdString(), argument.toStdString());
        QString got = w.loaded ? w.caption("Label2") + " " : "stop: " + w.titles().join(", ");
        for (int i = 0; w.loaded && i < 4; ++i) {
            auto* choice = w.get<QRadioButton>(QStringLiteral("Option1_%1").arg(i));
            got +=
                (choice->isEnabled() ? QString::number(i) : "") + (choice->isChecked() ? "*" : "");
        }
        QCOMPARE(got, outcome);
        const fs::path shown = outcome.contains("1*") ? w.reports : w.root;
        QVERIFY(!w.loaded || w.form.findChild<tallix::ui::FileListBox*>()->path() == shown);
    }

    // A folder that is not there: the user is told, the host folder or the
    // list shown before stays.
    void missingFolders() {
        Window w({{"Reports", "not a folder"}, {"top.log", "x"}}, "Logs");
        QVERIFY(w.loaded && w.get<QRadioButton>("Option1_0")->isChecked());
        QVERIFY(w.get("Option1_1")->isEnabled()); // a file by that name counts
        fs::remove_all(w.root / "Logs");
        w.get<QRadioButton>("Option1_2")->click();
        QCOMPARE(w.entries("File1"), QStringList{"top.log"}); // read again
        QVERIFY(w.get<QRadioButton>("Option1_2")->isChecked());
        QCOMPARE(w.prompts.messages.at(0).icon, tallix::base::Icon::Critical);
        QCOMPARE(w.boxes().join(" ").remove(QRegularExpression("Error nr[^:]*: ")),
                 "Could not find the Reports directory! Could not find the Logs directory");
    }

    // lblFileSize, lblSize_0 and Label12, the raw pane's line figure; the pane.
    // Another folder chosen resets the file's facts but Label5 and lblSize_0.
    void selectionFactsPreviewAndFolderChange() {
        const QByteArray content = (QByteArray(498, 'x') + "\r\n").repeated(10); // 5000 bytes
        Window w({{"Reports/f.log", content.toStdString()}, {"top.TXT", "x"}, {"image.png", "x"}});
        w.select("f.log");
        QCOMPARE(captions(w, {"lblFileSize", "lblSize_0", "Label12"}),
                 (QStringList{"5Kb", "Size=5Kb", "9"}));
        QVERIFY(w.caption("Label35").startsWith("Created @ "));
        auto* text1 = w.get<QTextEdit>("Text1");
        QCOMPARE(text1->toPlainText().toLatin1(), QByteArray(content).replace("\r\n", "\n"));
        QCOMPARE(text1->palette().color(QPalette::Base), QColor(224, 224, 224));

        QTest::mouseClick(w.get("Option1_0"), Qt::LeftButton);
        QCOMPARE(captions(w, {"lblFileSize", "lbldate", "lblSize_0"}),
                 (QStringList{"0 kB", "none", "Size=5Kb"}));
        QVERIFY(w.caption("Label5").endsWith("f.log"));
        QCOMPARE(w.entries("File1"), QStringList{"top.TXT"}); // neither kest.ini nor the picture
        w.click("Command2");                                  // nothing is selected now
        QCOMPARE(w.boxes(), QStringList{"No file selected: Please select a file first to process"});
    }

    void fullRunShowsEveryFigureAndALaterFailureKeepsThem() {
        const std::string tooLong =
            "Report Kest\r\n" + QByteArray("Fm\r\n").repeated(65001).toStdString();
        Window w({{"Reports/pass.log", SmallLog}, {"Reports/toolong.log", tooLong}});
        w.run("pass.log");
        QCOMPARE(w.titles(), QStringList{}); // recognised: no prompt
        // The figures' texts are the core's; here they reach their labels.
        const Figures figures = {
            {&F::receivedHeaders, "3"},
            {&F::ownDigipeated, "1"},
            {&F::logTime, "30 min"},
            {&F::processedSize, "147 Bytes"},
            {&F::processedCaption, "Processed Raw File and TX frames removed"}};
        expectFigures(w, figures);
        QCOMPARE(w.figure(&F::lineCount), "11"); // the preview of the next file changes it
        QCOMPARE(w.get<QPlainTextEdit>("Text2")->toPlainText(),
                 QString::fromStdString(w.form.processedBytes()).replace("\r\n", "\n"));
        QCOMPARE(w.entries("List1") + w.entries("List2"),
                 (QStringList{"ZZ9ZZ", "AB1CD", "EF2GH", "AB1CD", "EF2GH", "ZZ9ZZ"}));
        QVERIFY(w.get("Command3")->isEnabled() && w.get("Command7")->isEnabled() &&
                w.get("Command8")->isEnabled());

        w.run("toolong.log");
        QVERIFY(w.boxes().join("").startsWith("File length to large, err nr:9: ") &&
                w.boxes().join("").contains("toolong.log is to long."));
        expectFigures(w, figures);
        QVERIFY(!w.get("Command3")->isEnabled() && w.get("Label19")->isHidden());
    }

    // A click chooses (as Window::select does everywhere); a double click processes.
    void doubleClickProcesses() {
        Window w({{"Reports/pass.log", SmallLog}});
        w.select("pass.log");
        auto* list = w.get<QListWidget>("File1");
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           list->visualItemRect(list->item(0)).center());
        QCOMPARE(w.figure(&F::receivedHeaders), QStringLiteral("3"));
    }

    void cancelMidRun() {
        Window w({{"Reports/long.log", longLog(64000)}});
        w.select("long.log");
        auto* button = w.get<QToolButton>("Command2");
        const auto line = [&] {
            return w.caption("Label19").section(' ', 3, 3).section('/', 0, 0);
        };
        QVERIFY(processMeanwhile(
            w, [&] { return button->text() == "Cancel" && line().toInt() >= 1000; },
            [&] { button->click(); }));
        const int received = w.figure(&F::receivedHeaders).toInt();
        QVERIFY2(received >= 999 && received < 64000, qPrintable(w.figure(&F::receivedHeaders)));
        QCOMPARE(button->text(), QStringLiteral("Process"));
        // The indicator's last caption names the line the run stopped after.
        QCOMPARE(w.caption("Label19"),
                 QStringLiteral("Processing Data Line %1/64000").arg(received + 1));
    }

    void stateAtStartIndicatorColoursAndCallSign() {
        Window w({}, "", ";Kest\r\n\r\n\r\n ab1cd \r\n");
        w.form.show();
        QVERIFY(!w.get("Command3")->isEnabled() && !w.get("Command7")->isEnabled() &&
                !w.get("Command8")->isEnabled());
        QVERIFY(w.get("Command2")->isEnabled() && w.get("Command4")->isEnabled() &&
                w.get("cmdRename")->isEnabled());
        QVERIFY(w.get<QCheckBox>("Check1")->isChecked() &&
                !w.get<QCheckBox>("Check2")->isChecked());
        QVERIFY(w.get("List1")->isVisible() && !w.get("List2")->isVisible() &&
                !w.get("Label19")->isVisible());
        // The captions at start stand in the form only: the program's texts.
        expectFigures(w, {{&F::fileDate, "none"},
                          {&F::processedSize, "0"},
                          {&F::totalLines, "0"},
                          {&F::ownDigipeated, "0"},
                          {&F::transmittedFrames, "0"},
                          {&F::receivedHeaders, "0"},
                          {&F::heardCount, "0"},
                          {&F::firstPacketTime, "none"},
                          {&F::lastPacketTime, "none"},
                          {&F::logTime, "none"},
                          {&F::rxPerMinute, "0"},
                          {&F::efficiency, "0 %"}});
        QCOMPARE(w.form.windowTitle(), QStringLiteral("Tallix 1.4.0 for Kest"));
        for (const QColor colour :
             {QColor(0, 0, 128), QColor(0, 128, 0), QColor(128, 0, 0), QColor(0, 0, 128)}) {
            QVERIFY(QMetaObject::invokeMethod(w.get<QTimer>("Timer1"), "timeout"));
            QCOMPARE(w.get("Label19")->palette().color(QPalette::WindowText), colour);
        }
        // A click on the call sign changes it; an empty answer keeps it.
        w.prompts.inputAnswers = {"", "  ef2gh  "};
        w.click("Label2");
        QCOMPARE(w.caption("Label2"), QStringLiteral("ab1cd"));
        w.click("Label2");
        QCOMPARE(w.caption("Label2") + " " + w.form.ownCall().c_str(), "EF2GH EF2GH");
    }

    // Frames kept: the processed text is the file byte for byte, also when another
    // file is selected and Process pressed while the button still reads "Process".
    // That file, not recognised and answered No, is not analysed then either.
    void anotherFileChosenDuringARunAndAFileNotRecognised() {
        const std::string log = SmallLog + "tail \xE9 without break";
        Window w({{"Reports/pass.log", log}, {"Reports/notes.txt", "shopping list\r\n"}});
        w.get<QCheckBox>("Check1")->setChecked(false);
        w.select("pass.log");
        QVERIFY(processMeanwhile(
            w, [&] { return w.caption("Label19").startsWith("Pre-processing"); },
            [&] { w.run("notes.txt"); }));
        QCOMPARE(w.titles(), QStringList{}); // no second run asks about notes.txt
        expectFigures(w,
                      {{&F::receivedHeaders, "3"}, {&F::processedCaption, "Processed Raw File"}});
        w.prompts.answers = {tallix::ui::Answer::No};
        w.run("notes.txt");
        QCOMPARE(w.titles(), QStringList{"Open Kest Report"});
        QCOMPARE(w.figure(&F::receivedHeaders), "3"); // the last run's figures stay
        QCOMPARE(QByteArray::fromStdString(w.form.processedBytes()),
                 QByteArray::fromStdString(log));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
