#pragma once
// The main window started on a Kest folder in a temporary folder, with
// scripted prompts, and the few steps the window tests take on it.

#include <QtTest>
#include <QtWidgets>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/figure_table.h"
#include "fake_prompts.h"
#include "temp_dir.h"
#include "ui/form1.h"
#include "ui/widget_helpers.h"

// Every window test program starts so, as the program does: the pictures, the
// one font; and the C locale and the test paths of Qt.
inline void startWindowTests() {
    Q_INIT_RESOURCE(tallix);
    tallix::ui::useWindowFontThroughout();
    QLocale::setDefault(QLocale::c());
    QStandardPaths::setTestModeEnabled(true);
}

namespace tallix::ui::test {

namespace fs = std::filesystem;
using testsupport::readBytes;
using Files = std::initializer_list<std::pair<std::string, std::string>>;
using Figure = std::string tallix::analysis::SummaryFigures::*;
using Figures = std::vector<std::pair<Figure, QString>>;

// The name of the label that shows `figure`.
inline QString labelOf(Figure figure) {
    for (const auto& place : tallix::analysis::FigureTable)
        if (place.figure == figure)
            return QString::fromLatin1(place.element.data(),
                                       static_cast<qsizetype>(place.element.size()));
    qFatal("a figure without a label");
}

inline void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline QStringList texts(const QListWidget* list) {
    QStringList t;
    for (int i = 0; i < list->count(); ++i)
        t << list->item(i)->text();
    return t;
}

// The text a tip shows: a tip that looks like markup is shown as rich text.
inline QString shownTip(const QString& tip) {
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

// A log of `frames` frames, long enough for a run to let events through many times.
inline std::string longLog(int frames) {
    std::string log = "Report Kest\r\n";
    for (int i = 0; i < frames; ++i)
        log += "Fm ST" + std::to_string(i % 50) + " To CQ >[10:00:00]\r\n";
    return log;
}

// A Kest report of two frames of `station`, the own call AB1CD.
inline std::string kestLog(const char* station) {
    return std::string("Report Kest 3.1\r\nFm ") + station + " To CQ >[10:00:00]\r\nhello\r\n" +
           "Fm " + station + " To AB1CD >[10:05:00]\r\nbye\r\n";
}

inline const std::string Settings = ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n";

// `files` are named from the Kest folder ("Reports/pass.log"); no settings: no kest.ini.
inline fs::path kestFolder(const QTemporaryDir& dir, Files files, const QString& subfolders,
                           const std::string& settings) {
    const fs::path root = dir.path().toStdString();
    for (const QString& s : subfolders.split(',', Qt::SkipEmptyParts))
        fs::create_directory(root / s.toStdString());
    if (!settings.empty())
        writeFile(root / "kest.ini", settings);
    for (const auto& [name, bytes] : files)
        writeFile(root / name, bytes);
    return root;
}

struct Window {
    QTemporaryDir dir;
    fs::path root, reports;
    FakePrompts prompts;
    Form1 form;
    bool loaded;

    explicit Window(Files files = {}, const QString& subfolders = "Reports,Logs,Monitor",
                    const std::string& settings = Settings, const std::string& argument = "4KTRMN")
        : root(kestFolder(dir, files, subfolders, settings)), reports(root / "Reports"),
          form({root.string(), argument}, prompts), loaded(form.load()) {}

    template <class T = QWidget> T* get(const QString& name) {
        T* w = form.findChild<T*>(name);
        if (!w)
            qFatal("no element %s", qPrintable(name));
        return w;
    }
    QString caption(const QString& label) { return get<QLabel>(label)->text(); }
    QString figure(Figure figure) { return caption(labelOf(figure)); }
    QStringList entries(const QString& list) { return texts(get<QListWidget>(list)); }
    QStringList titles() const {
        QStringList t;
        for (const auto& m : prompts.messages)
            t << QString::fromStdString(m.title);
        return t;
    }
    QStringList boxes() const {
        QStringList t;
        for (const auto& m : prompts.messages)
            t << QString::fromStdString(m.title + ": " + m.text);
        return t;
    }
    // The window on screen, as the user sees it.
    void show() {
        if (form.isVisible())
            return;
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("the window was not shown");
    }
    // A click on the file list's entry `file`, as the user chooses a file.
    void select(const QString& file) {
        show();
        auto* files = get<QListWidget>("File1");
        QListWidgetItem* item = files->findItems(file, Qt::MatchExactly).value(0);
        if (!item)
            qFatal("no entry %s", qPrintable(file));
        files->scrollToItem(item);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(item).center());
    }
    void click(const QString& button) { QTest::mouseClick(get(button), Qt::LeftButton); }
    void run(const QString& file) {
        select(file);
        click("Command2");
    }
};

// Each figure's label shows the text given, compared by label name
// ("Label16=3; Label4=0").
inline void expectFigures(Window& w, const Figures& expected) {
    QStringList shown, wanted;
    for (const auto& [figure, text] : expected) {
        shown << labelOf(figure) + "=" + w.figure(figure);
        wanted << labelOf(figure) + "=" + text;
    }
    QCOMPARE(shown.join("; "), wanted.join("; "));
}

// Processes the chosen file; the first time `when` holds while the run lets
// events through (after every line), `action` runs. True when it ran.
inline bool processMeanwhile(Window& w, const std::function<bool()>& when,
                             const std::function<void()>& action) {
    w.form.setYieldInterval(0);
    bool done = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!done && when())
            done = (action(), true);
    });
    poll.start(0);
    w.click("Command2");
    return done;
}

} // namespace tallix::ui::test
