// The main window driven as a user drives it: start-up, folders, selection,
// preview and analysis runs, with scripted answers to every prompt.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QStandardPaths>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <limits>
#include <fstream>
#include <string>

#include "fake_prompts.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/qt_text.h"

using tallix::ui::Answer;
using tallix::ui::Form1;
using tallix::ui::test::FakePrompts;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

const char* const LaunchCode = "4KTRMN";
const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n";

// A Kest folder in a temporary directory, with the subfolders asked for.
struct KestFolder {
    QTemporaryDir dir;
    fs::path root() const { return fs::path(dir.path().toStdString()); }
    explicit KestFolder(const QString& subfolders = QStringLiteral("Reports,Logs,Monitor"),
                        const std::string& settings = Settings) {
        if (!settings.empty())
            writeFile(root() / "kest.ini", settings);
        for (const QString& s : subfolders.split(',', Qt::SkipEmptyParts))
            fs::create_directory(root() / s.toStdString());
    }
};

struct Window {
    FakePrompts prompts;
    Form1 form;
    bool loaded;
    Window(const KestFolder& kest, const std::string& argument = LaunchCode)
        : form({kest.root().string(), argument}, prompts), loaded(form.Form_Load()) {}

    template <class T = QWidget> T* get(const char* name) {
        auto* w = form.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no element %s", name);
        return w;
    }
    QString text(const char* label) { return get<QLabel>(label)->text(); }
    QListWidget* files() { return get<QListWidget>("File1"); }
    void select(const QString& name) {
        const auto found = files()->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        files()->setCurrentItem(found.first());
    }
    void process() { QTest::mouseClick(get<QToolButton>("Command2"), Qt::LeftButton); }
    QString caption(const char* element) { return get<QLabel>(element)->text(); }
};

} // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        QLocale::setDefault(QLocale::c());
        QStandardPaths::setTestModeEnabled(true);
    }
    void startupOutcomes_data();
    void startupOutcomes();
    void reportsAsAPlainFile();
    void folderChoiceAndFacts();
    void missingFolderKeepsTheList();
    void selectionFactsAndPreview_data();
    void selectionFactsAndPreview();
    void fullRunShowsEveryFigure();
    void runWithFramesKeptCopiesTheRawText();
    void unrecognisedFileAnsweredNo();
    void lineLimitFailureKeepsEarlierFigures();
    void noSelectionAsksForOne();
    void cancelMidRun();
    void callSignChange();
    void bigLogFigures();
    void stateAtStart();
    void indicatorColourSteps();
    void doubleClickProcesses();
    void richTextSourceRun();
    void noSecondRunDuringPreprocessing();
    void selectionDuringRunDoesNotChangeIt();
};

void Form1Test::startupOutcomes_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("subfolders");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QString>("messageTitle");
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("enabledChoices");
    QTest::addColumn<int>("selectedChoice");

    const QString ok = QString::fromStdString(Settings);
    QTest::newRow("all folders") << "4KTRMN" << ok << "Reports,Logs,Monitor" << true << ""
                                 << "AB1CD" << "0123" << 1;
    QTest::newRow("only Logs") << "4KTRMN" << ok << "Logs" << true << "" << "AB1CD" << "02" << 0;
    QTest::newRow("no subfolders") << "4KTRMN" << ok << "" << true << "" << "AB1CD" << "0" << 0;
    QTest::newRow("launch code in lower case with blanks")
        << "  4ktrmn " << ok << "" << true << "" << "AB1CD" << "0" << 0;
    QTest::newRow("launch code and a second word")
        << "4KTRMN X" << ok << "" << false << "Tallix 1.4.0 for Kest" << "" << "0" << 0;
    QTest::newRow("no argument") << "" << ok << "" << false << "Tallix 1.4.0 for Kest" << ""
                                 << "0" << 0;
    QTest::newRow("settings file missing") << "4KTRMN" << "" << "" << false << "Kest not found"
                                           << "" << "0" << 0;
    QTest::newRow("first line in other case")
        << "4KTRMN" << ";kest\r\na\r\nb\r\nAB1CD\r\n" << "" << false << "Kest not found" << ""
        << "0" << 0;
    QTest::newRow("missing settings beats missing code")
        << "" << "" << "" << false << "Kest not found" << "" << "0" << 0;
    QTest::newRow("developer code without settings")
        << " hstk_rw4bz_lmq " << "" << "Logs" << true << "" << "" << "02" << 0;
    QTest::newRow("call with blanks and lower case")
        << "4KTRMN" << ";Kest\r\n\r\n\r\n  ab1cd  \r\n" << "" << true << "" << "ab1cd" << "0"
        << 0;
    QTest::newRow("three lines only") << "4KTRMN" << ";Kest\r\na\r\nb\r\n" << "" << true << ""
                                      << "" << "0" << 0;
}

void Form1Test::startupOutcomes() {
    QFETCH(QString, argument);
    QFETCH(QString, settings);
    QFETCH(QString, subfolders);
    QFETCH(bool, runs);
    QFETCH(QString, messageTitle);
    QFETCH(QString, call);
    QFETCH(QString, enabledChoices);
    QFETCH(int, selectedChoice);

    KestFolder kest(subfolders, settings.toStdString());
    Window w(kest, argument.toStdString());
    QCOMPARE(w.loaded, runs);
    QCOMPARE(w.prompts.messages.empty(), messageTitle.isEmpty());
    if (!messageTitle.isEmpty()) {
        QCOMPARE(QString::fromStdString(w.prompts.messages.front().title), messageTitle);
        QCOMPARE(w.prompts.messages.size(), size_t(1));
        return;
    }
    QCOMPARE(w.caption("Label2"), call);
    QString enabled;
    for (int i = 0; i < 4; ++i) {
        auto* option = w.get<QRadioButton>(("Option1_" + std::to_string(i)).c_str());
        if (option->isEnabled())
            enabled += QString::number(i);
        QCOMPARE(option->isChecked(), i == selectedChoice);
    }
    QCOMPARE(enabled, enabledChoices);
    const fs::path shown = selectedChoice == 1 ? kest.root() / "Reports" : kest.root();
    QCOMPARE(QString::fromStdString(w.form.findChild<tallix::ui::FileListBox*>()->path()),
             QString::fromStdString(shown.string()));
    // The panes keep their vertical scroll bars whatever their text.
    QCOMPARE(w.get<QTextEdit>("Text1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void Form1Test::reportsAsAPlainFile() {
    KestFolder kest(QStringLiteral("Logs"));
    writeFile(kest.root() / "Reports", "not a folder");
    Window w(kest);
    QVERIFY(w.loaded);
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].text),
             QStringLiteral("Could not find the Reports directory!"));
    QVERIFY(QString::fromStdString(w.prompts.messages[0].title).startsWith("Error nr"));
    QCOMPARE(w.prompts.messages[0].icon, tallix::app::Icon::Critical);
    QVERIFY(w.get<QRadioButton>("Option1_0")->isChecked());
    QVERIFY(w.get<QRadioButton>("Option1_1")->isEnabled());
}

void Form1Test::folderChoiceAndFacts() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "pass.log", std::string(5000, 'x'));
    writeFile(kest.root() / "top.TXT", "x");
    writeFile(kest.root() / "image.png", "x");
    Window w(kest);
    w.select(QStringLiteral("pass.log"));
    QCOMPARE(w.caption("lblFileSize"), QStringLiteral("5Kb"));
    QCOMPARE(w.caption("lblSize_0"), QStringLiteral("Size=5Kb"));
    QVERIFY(w.caption("Label35").startsWith("Created @ "));
    QVERIFY(w.caption("Label35").endsWith("h"));

    QTest::mouseClick(w.get<QRadioButton>("Option1_0"), Qt::LeftButton);
    // The folder change resets only the two facts of the frame "Control".
    QCOMPARE(w.caption("lblFileSize"), QStringLiteral("0 kB"));
    QCOMPARE(w.caption("lbldate"), QStringLiteral("none"));
    QCOMPARE(w.caption("lblSize_0"), QStringLiteral("Size=5Kb"));
    QVERIFY(w.caption("Label5").endsWith("pass.log"));
    // kest.ini and the picture are not listed; a name in capitals is.
    QStringList names;
    for (int i = 0; i < w.files()->count(); ++i)
        names << w.files()->item(i)->text();
    QCOMPARE(names, QStringList{QStringLiteral("top.TXT")});
    QVERIFY(w.files()->selectedItems().isEmpty());
}

void Form1Test::missingFolderKeepsTheList() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "a.log", "x");
    Window w(kest);
    fs::remove_all(kest.root() / "Logs");
    w.get<QRadioButton>("Option1_2")->click();
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].text),
             QStringLiteral("Could not find the Logs directory"));
    QCOMPARE(w.files()->count(), 1); // still the Reports folder, read again
    QVERIFY(w.get<QRadioButton>("Option1_2")->isChecked());
}

void Form1Test::selectionFactsAndPreview_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("sizeKb");
    QTest::addColumn<QString>("lines");

    QByteArray ten;
    for (int i = 0; i < 10; ++i)
        ten += "line " + QByteArray::number(i) + "\r\n";
    QTest::newRow("empty file") << QByteArray() << "1Kb" << "-1";
    QTest::newRow("exactly 1024 bytes") << QByteArray(1024, 'a') << "2Kb" << "-1";
    QTest::newRow("ten lines with breaks") << ten << "1Kb" << "9";
    QTest::newRow("ten lines, last without break") << ten.chopped(2) << "1Kb" << "8";
}

void Form1Test::selectionFactsAndPreview() {
    QFETCH(QByteArray, content);
    QFETCH(QString, sizeKb);
    QFETCH(QString, lines);
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "f.log", content.toStdString());
    Window w(kest);
    w.select(QStringLiteral("f.log"));
    QCOMPARE(w.caption("lblFileSize"), sizeKb);
    QCOMPARE(w.caption("Label12"), lines);
    auto* text1 = w.get<QTextEdit>("Text1");
    QCOMPARE(text1->palette().color(QPalette::Base), QColor(224, 224, 224));
    QCOMPARE(text1->toPlainText().toLatin1(), QByteArray(content).replace("\r\n", "\n"));
    QVERIFY(w.get<QToolButton>("Command4")->isEnabled());
}

namespace {
// Own call AB1CD: one own frame as sent (dropped with its data line), one heard
// back via the digipeater, two stations heard, stamps 10:00:00 to 10:30:00.
const std::string SmallLog = "Report Kest 3.1\r\n"
                             "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\n"
                             "hello\r\n"
                             "Fm AB1CD To CQ Via DIGI >[10:10:00]\r\n"
                             "my data\r\n"
                             "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\n"
                             "my data\r\n"
                             "\r\n"
                             "\r\n"
                             "1:Fm EF2GH To ZZ9ZZ >[10:30:00]\r\n"
                             "bye\r\n";
} // namespace

void Form1Test::fullRunShowsEveryFigure() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "pass.log", SmallLog);
    Window w(kest);
    w.select(QStringLiteral("pass.log"));
    w.process();
    QVERIFY(w.prompts.messages.empty()); // recognised: no prompt
    QCOMPARE(w.caption("Label16"), QStringLiteral("3"));  // ZZ9ZZ, own digipeated, EF2GH
    QCOMPARE(w.caption("Label18"), QStringLiteral("1"));
    QCOMPARE(w.caption("Label8"), QStringLiteral("1"));
    QCOMPARE(w.caption("Label14"), QStringLiteral("9")); // 8 kept lines + 1 digipeated
    QCOMPARE(w.caption("Label12"), QStringLiteral("11"));
    QCOMPARE(w.caption("Label4"), QStringLiteral("3"));
    QCOMPARE(w.caption("Label26"), QStringLiteral("10:00:00"));
    QCOMPARE(w.caption("Label28"), QStringLiteral("10:30:00"));
    QCOMPARE(w.caption("Label32"), QStringLiteral("30 min"));
    QCOMPARE(w.caption("Label30"), QStringLiteral("<1"));
    QCOMPARE(w.caption("Label21"), QStringLiteral("100 %"));
    QCOMPARE(w.caption("Label34"), QStringLiteral("3"));
    QCOMPARE(w.caption("Label7"), QStringLiteral("Processed Raw File and TX frames removed"));
    QCOMPARE(w.caption("totalLineProcessed"),
             QStringLiteral("Total Bytes Processed =%1").arg(SmallLog.size()));
    const std::string processed = "Report Kest 3.1\r\n"
                                  "Fm ZZ9ZZ To CQ Via DIGI* >[10:00:00]\r\n"
                                  "hello\r\n"
                                  "Fm AB1CD To CQ Via DIGI* >[10:20:00]\r\n"
                                  "my data\r\n"
                                  "\r\n"
                                  "Fm EF2GH To ZZ9ZZ >[10:30:00]\r\n"
                                  "bye\r\n";
    QCOMPARE(QByteArray::fromStdString(w.form.processedBytes()),
             QByteArray::fromStdString(processed));
    QCOMPARE(w.caption("Label24"), QStringLiteral("%1 Bytes").arg(processed.size()));
    QCOMPARE(w.get<QTextEdit>("Text2")->toPlainText(),
             QString::fromStdString(processed).replace("\r\n", "\n"));

    auto* list1 = w.get<QListWidget>("List1");
    auto* list2 = w.get<QListWidget>("List2");
    QStringList order, sorted;
    for (int i = 0; i < list1->count(); ++i) {
        order << list1->item(i)->text();
        sorted << list2->item(i)->text();
    }
    QCOMPARE(order, (QStringList{"ZZ9ZZ", "AB1CD", "EF2GH"}));
    QCOMPARE(sorted, (QStringList{"AB1CD", "EF2GH", "ZZ9ZZ"}));
    QVERIFY(w.get<QToolButton>("Command3")->isEnabled());
    QVERIFY(w.get<QToolButton>("Command7")->isEnabled());
    QVERIFY(w.get<QToolButton>("Command8")->isEnabled());
    QVERIFY(!w.get<QLabel>("Label19")->isVisible());
    QCOMPARE(w.get<QToolButton>("Command2")->text(), QStringLiteral("Process"));
}

void Form1Test::runWithFramesKeptCopiesTheRawText() {
    KestFolder kest;
    const std::string log = SmallLog + "tail \xE9 without break";
    writeFile(kest.root() / "Reports" / "pass.log", log);
    Window w(kest);
    w.get<QCheckBox>("Check1")->setChecked(false);
    w.select(QStringLiteral("pass.log"));
    w.process();
    // Nothing removed: the processed text is the file, byte for byte.
    QCOMPARE(QByteArray::fromStdString(w.form.processedBytes()), QByteArray::fromStdString(log));
    QCOMPARE(w.caption("Label7"), QStringLiteral("Processed Raw File"));
    QCOMPARE(w.caption("Label14"), QStringLiteral("10"));
}

void Form1Test::unrecognisedFileAnsweredNo() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "notes.txt", "shopping list\r\nmilk\r\n");
    Window w(kest);
    w.select(QStringLiteral("notes.txt"));
    w.prompts.answers.push_back(Answer::No);
    w.process();
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].title), QStringLiteral("Open Kest Report"));
    QCOMPARE(w.caption("Label16"), QStringLiteral("0"));
    QCOMPARE(w.caption("Label12"), QStringLiteral("1")); // still the preview's figure
    QVERIFY(!w.get<QToolButton>("Command3")->isEnabled());
}

void Form1Test::lineLimitFailureKeepsEarlierFigures() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "pass.log", SmallLog);
    std::string big;
    big.reserve(65001 * 4);
    for (int i = 0; i < 65001; ++i)
        big += "Fm\r\n";
    writeFile(kest.root() / "Reports" / "toolong.log", "Report Kest\r\n" + big);
    Window w(kest);
    w.select(QStringLiteral("pass.log"));
    w.process();
    w.select(QStringLiteral("toolong.log"));
    w.process();
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    const auto& m = w.prompts.messages[0];
    QCOMPARE(QString::fromStdString(m.title), QStringLiteral("File length to large, err nr:9"));
    QVERIFY(QString::fromStdString(m.text).contains("toolong.log is to long."));
    QCOMPARE(w.caption("Label16"), QStringLiteral("3")); // the earlier run's figures stay
    QVERIFY(!w.get<QToolButton>("Command3")->isEnabled());
    QVERIFY(!w.get<QLabel>("Label19")->isVisible());
}

void Form1Test::noSelectionAsksForOne() {
    KestFolder kest;
    Window w(kest);
    w.process();
    QCOMPARE(w.prompts.messages.size(), size_t(1));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].text),
             QStringLiteral("Please select a file first to process"));
    QCOMPARE(QString::fromStdString(w.prompts.messages[0].title), QStringLiteral("No file selected"));
}

void Form1Test::cancelMidRun() {
    KestFolder kest;
    std::string log = "Report Kest\r\n";
    for (int i = 0; i < 64000; ++i)
        log += "Fm ST" + std::to_string(i % 50) + " To CQ >[10:00:00]\r\n";
    writeFile(kest.root() / "Reports" / "long.log", log);
    Window w(kest);
    w.form.setYieldInterval(0); // a yield after every line, so the click lands mid-pass
    w.select(QStringLiteral("long.log"));
    auto* button = w.get<QToolButton>("Command2");
    // Press Cancel once the pass is past line 1000.
    auto* indicator = w.get<QLabel>("Label19");
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const int line = indicator->text().section(' ', 3, 3).section('/', 0, 0).toInt();
        if (button->text() == QStringLiteral("Cancel") && line >= 1000) {
            poll.stop();
            button->click();
        }
    });
    poll.start();
    w.process();
    const int received = w.caption("Label16").toInt();
    QVERIFY2(received >= 999 && received < 64000, qPrintable(w.caption("Label16")));
    QCOMPARE(button->text(), QStringLiteral("Process"));
    // The indicator's last caption names the line the run stopped after.
    QCOMPARE(w.get<QLabel>("Label19")->text(),
             QStringLiteral("Processing Data Line %1/64000").arg(received + 1));
}

void Form1Test::callSignChange() {
    KestFolder kest(QString(), ";Kest\r\n\r\n\r\n ab1cd \r\n");
    Window w(kest);
    w.prompts.inputAnswers = {"", "  ef2gh  "};
    w.get<QLabel>("Label2");
    QTest::mouseClick(w.get<QLabel>("Label2"), Qt::LeftButton);
    QCOMPARE(w.caption("Label2"), QStringLiteral("ab1cd")); // cancelled: unchanged
    QCOMPARE(QString::fromStdString(w.prompts.inputs[0].title),
             QStringLiteral("Changing call sign  ab1cd "));
    QTest::mouseClick(w.get<QLabel>("Label2"), Qt::LeftButton);
    QCOMPARE(w.caption("Label2"), QStringLiteral("EF2GH"));
    QCOMPARE(QString::fromStdString(w.form.ownCall()), QStringLiteral("EF2GH"));
}

void Form1Test::bigLogFigures() {
    // A 65000-line log: selection (facts and preview) and the whole run, timed.
    KestFolder kest;
    std::string log = "Report Kest\r\n";
    for (int i = 1; i < 65000; ++i)
        log += (i % 2 ? "Fm ST" + std::to_string(i % 700) + " To CQ Via R1* >[10:00:00]"
                      : std::string("data line of an invented frame"))
               + "\r\n";
    writeFile(kest.root() / "Reports" / "big.log", log);
    Window w(kest);
    w.form.show();
    QElapsedTimer clock;
    // The best of three selections, so that a busy machine does not decide.
    qint64 selectMs = std::numeric_limits<qint64>::max();
    for (int i = 0; i < 3; ++i) {
        w.files()->setCurrentRow(-1);
        clock.start();
        w.select(QStringLiteral("big.log"));
        selectMs = std::min(selectMs, clock.elapsed());
    }
    clock.start();
    w.process();
    const qint64 runMs = clock.elapsed();
    qInfo("select 65000-line log: %lld ms; process: %lld ms", selectMs, runMs);
    QCOMPARE(w.caption("Label12"), QStringLiteral("65000"));
    QVERIFY2(selectMs < 300, qPrintable(QString::number(selectMs)));
    QVERIFY2(runMs < 1500, qPrintable(QString::number(runMs)));
}

void Form1Test::stateAtStart() {
    KestFolder kest{QString()};
    Window w(kest);
    for (const char* name : {"Command3", "Command8", "Command7"})
        QVERIFY2(!w.get<QToolButton>(name)->isEnabled(), name);
    for (const char* name : {"Command2", "Command6", "cmdRename", "Command4"})
        QVERIFY2(w.get<QToolButton>(name)->isEnabled(), name);
    QVERIFY(w.get<QCheckBox>("Check1")->isChecked());
    QVERIFY(!w.get<QCheckBox>("Check2")->isChecked());
    w.form.show();
    QVERIFY(w.get<QListWidget>("List1")->isVisible());
    QVERIFY(!w.get<QListWidget>("List2")->isVisible());
    QVERIFY(!w.get<QLabel>("Label19")->isVisible());
    const std::pair<const char*, const char*> values[] = {
        {"Label22", "none"}, {"Label24", "0"},   {"Label14", "0"},   {"Label8", "0"},
        {"Label18", "0"},    {"Label16", "0"},   {"Label4", "0"},    {"Label26", "none"},
        {"Label28", "none"}, {"Label32", "none"}, {"Label30", "0"},  {"Label21", "0 %"}};
    for (const auto& [name, text] : values)
        QCOMPARE(w.caption(name), QString::fromLatin1(text));
    QCOMPARE(w.form.size(), QSize(763, 499));
    QCOMPARE(w.form.windowTitle(), QStringLiteral("Tallix 1.4.0 for Kest"));
}

void Form1Test::indicatorColourSteps() {
    KestFolder kest{QString()};
    Window w(kest);
    const QColor expected[] = {QColor(0, 0, 128), QColor(0, 128, 0), QColor(128, 0, 0),
                               QColor(0, 0, 128)};
    for (const QColor& colour : expected) {
        w.form.Timer1_Timer();
        QCOMPARE(w.get<QLabel>("Label19")->palette().color(QPalette::WindowText), colour);
    }
    QCOMPARE(w.form.blinkPhase(), std::int16_t(1));
}

void Form1Test::doubleClickProcesses() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "pass.log", SmallLog);
    Window w(kest);
    w.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.form));
    QListWidget* list = w.files();
    const QRect r = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(w.caption("Label16"), QStringLiteral("3"));
    QVERIFY(w.caption("Label5").endsWith("pass.log"));
}

void Form1Test::richTextSourceRun() {
    KestFolder kest;
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\qc{\\b Kest report}\\par\\ql "
                            "Fm ZZ9ZZ To CQ >[10:00:00]\\par hello\\par}";
    writeFile(kest.root() / "Reports" / "pass.rtf", rtf);
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    Window w(kest);
    w.select(QStringLiteral("pass.rtf"));
    QVERIFY(w.form.currentFileIsRtf());
    QCOMPARE(w.get<QTextEdit>("Text1")->toPlainText(),
             QStringLiteral("Kest report\nFm ZZ9ZZ To CQ >[10:00:00]\nhello\n"));
    w.process();
    QDir::setCurrent(before);
    QVERIFY(w.prompts.messages.empty()); // a rich-text source is never asked about
    QVERIFY(QString::fromStdString(w.form.currentFile()).endsWith("pass.txt"));
    QFile temp(work.filePath(QStringLiteral("rtftemp.tmp")));
    QVERIFY(temp.open(QIODevice::ReadOnly));
    QCOMPARE(temp.readAll(), QByteArray("Kest report\r\nFm ZZ9ZZ To CQ >[10:00:00]\r\nhello\r\n\r\n"));
    QCOMPARE(w.caption("Label16"), QStringLiteral("1"));
    QCOMPARE(w.caption("Label12"), QStringLiteral("4"));
}

void Form1Test::noSecondRunDuringPreprocessing() {
    KestFolder kest;
    writeFile(kest.root() / "Reports" / "pass.log", SmallLog);
    Window w(kest);
    w.form.setYieldInterval(0);
    w.select(QStringLiteral("pass.log"));
    int clicks = 0;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (w.get<QLabel>("Label19")->text().startsWith("Pre-processing") && clicks == 0) {
            ++clicks;
            w.process(); // still reads "Process": must not start a run inside the run
        }
    });
    poll.start();
    w.process();
    QCOMPARE(clicks, 1);
    QVERIFY(w.prompts.messages.empty());
    QCOMPARE(w.caption("Label16"), QStringLiteral("3"));
}

void Form1Test::selectionDuringRunDoesNotChangeIt() {
    KestFolder kest;
    std::string log = SmallLog;
    for (int i = 0; i < 3000; ++i)
        log += "data\r\n";
    writeFile(kest.root() / "Reports" / "pass.log", log);
    writeFile(kest.root() / "Reports" / "other.log", "Report Kest\r\nFm X To Y\r\n");
    Window w(kest);
    w.form.setYieldInterval(0);
    w.get<QCheckBox>("Check1")->setChecked(false); // the run copies the raw pane at its end
    w.select(QStringLiteral("pass.log"));
    bool switched = false;
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!switched && w.get<QToolButton>("Command2")->text() == QStringLiteral("Cancel")) {
            switched = true;
            w.select(QStringLiteral("other.log"));
        }
    });
    poll.start();
    w.process();
    QVERIFY(switched);
    QCOMPARE(QByteArray::fromStdString(w.form.processedBytes()), QByteArray::fromStdString(log));
    QCOMPARE(w.caption("Label16"), QStringLiteral("3"));
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
