// How the real main window keeps up: it is shown on the display of the
// environment (run it under Xvfb, see window_latency.sh), a file is chosen and
// processed with clicks, and it prints
// - the preview's time, from the click on the file to the next repaint;
// - a run's time, from the Process click to the last caption;
// - the longest the window went without a repaint meanwhile; with "ask", a
//   label is asked to repaint every 100 ms, as an expose of the display
//   would ask (those repaints then count), and the longest it took to repaint
//   (from when the request was due) is printed too;
// - how long a Cancel click waited to be honoured (from the moment of the
//   click, whether or not the window was free to take it then);
// - the peak memory of the process.
//
//   tallix_window_bench log      65000-line log: preview, 3 runs, Cancels
//   tallix_window_bench rtf      60000-paragraph rich-text log: preview
//   tallix_window_bench FILE     an existing file: select, then process
//   tallix_window_bench FILE ask the same, with a repaint asked for every 100 ms
//
// Figures only; it fails no target.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "demo/demo_logs.h"
#include "fake_prompts.h"
#include "ui/form1.h"

namespace {

namespace fs = std::filesystem;
using namespace tallix;

// The times of the window's repaints, while armed, and the longest wait of
// the event loop between two turns (a timer that asks for a turn every 5 ms).
class PaintWatch : public QObject {
public:
    PaintWatch() {
        turns_.setInterval(5);
        QObject::connect(&turns_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longestWait_ = std::max(longestWait_, now - lastTurn_);
            lastTurn_ = now;
        });
        asks_.setInterval(AskEvery);
        QObject::connect(&asks_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            if (asked_ < 0) {
                asked_ = std::min(lastAsk_ + AskEvery, now); // when it was due
                probe_->update();
            }
            lastAsk_ = now;
        });
    }
    void setProbe(QWidget* probe) { probe_ = probe; }
    void arm() {
        asked_ = -1;
        lastAsk_ = 0;
        longestAsked_ = 0;
        if (probe_)
            asks_.start();
        clock_.start();
        last_ = -1;
        longest_ = 0;
        lastTurn_ = 0;
        longestWait_ = 0;
        armed_ = true;
        turns_.start();
    }
    // The longest wait between two turns of the event loop, after `settle`
    // more milliseconds (work the window left for later, such as layout).
    qint64 longestWait(int settle) {
        QTest::qWait(settle);
        turns_.stop();
        asks_.stop();
        return longestWait_;
    }
    // The longest a repaint that was asked for took, up to longestWait().
    qint64 longestAsked() const { return longestAsked_; }
    // The longest stretch without a repaint, up to now.
    qint64 longestGap() {
        longest_ = std::max(longest_, clock_.elapsed() - std::max<qint64>(last_, 0));
        armed_ = false;
        return longest_;
    }
    qint64 elapsed() const { return clock_.elapsed(); }
    qint64 lastPaint() const { return last_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed_ && event->type() == QEvent::Paint && watched->isWidgetType()) {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - std::max<qint64>(last_, 0));
            last_ = now;
        }
        if (event->type() == QEvent::Paint && watched == probe_ && asked_ >= 0) {
            longestAsked_ = std::max(longestAsked_, clock_.elapsed() - asked_);
            asked_ = -1;
        }
        return false;
    }

private:
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    bool armed_ = false;
    QTimer turns_;
    qint64 lastTurn_ = 0;
    qint64 longestWait_ = 0;
    static constexpr qint64 AskEvery = 100;
    QTimer asks_;
    QWidget* probe_ = nullptr;
    qint64 asked_ = -1; // when the pending request was due
    qint64 lastAsk_ = 0;
    qint64 longestAsked_ = 0;
};

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// A rich-text log of `paragraphs` paragraphs: a centred title line, right-
// aligned stamps, indented data lines with a hanging first line.
std::string richLog(int paragraphs) {
    demo::LogOptions options;
    options.seed = 60000;
    options.lines = paragraphs;
    const std::string log = demo::generateLog(options);
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}\\f0\\fs16\r\n";
    int n = 0;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(start, end - start);
        start = end + 2;
        rtf += n % 50 == 0 ? "\\pard\\qc " : n % 7 == 0 ? "\\pard\\qr " : "\\pard\\li360\\fi-180 ";
        for (const char c : line) {
            if (c == '\\' || c == '{' || c == '}')
                rtf += '\\';
            rtf += c;
        }
        rtf += "\\par\r\n";
        ++n;
    }
    return rtf + "}";
}

struct Bench {
    QTemporaryDir dir;
    fs::path reports;
    ui::test::FakePrompts prompts;
    std::unique_ptr<ui::Form1> form;
    PaintWatch watch;
    bool ask = false;

    Bench(const fs::path& file, bool askRepaints) : ask(askRepaints) {
        const fs::path root = dir.path().toStdString();
        reports = root / "Reports";
        fs::create_directory(reports);
        std::ofstream(root / "kest.ini", std::ios::binary) << ";Kest 3.1\r\nport=1\r\nbaud=1200\r\n"
                                                           << demo::DemoOwnCall << "\r\n";
        fs::create_symlink(fs::absolute(file), reports / file.filename());
        form = std::make_unique<ui::Form1>(ui::Environment{root.string(), "4KTRMN"}, prompts);
        if (!form->load())
            qFatal("start-up refused");
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the window was not shown");
        if (ask)
            watch.setProbe(form->findChild<QLabel*>(QStringLiteral("Label12")));
        qApp->installEventFilter(&watch);
        QTest::qWait(300);
    }

    // How soon the repaints asked for came, with "ask".
    std::string asked() const {
        return ask ? " asked-for repaint within " + std::to_string(watch.longestAsked()) + " ms;"
                   : std::string();
    }

    QString caption(const char* label) {
        return form->findChild<QLabel*>(QString::fromLatin1(label))->text();
    }

    // The time until the window has repainted after `click` returned.
    qint64 untilRepainted(qint64 returned) {
        QElapsedTimer wait;
        wait.start();
        while (watch.lastPaint() < returned && wait.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return watch.lastPaint();
    }

    void select(const QString& name) {
        auto* list = form->findChild<QListWidget*>(QStringLiteral("File1"));
        QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).value(0);
        list->scrollToItem(item);
        QTest::qWait(100);
        watch.arm();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        const qint64 shown = untilRepainted(watch.elapsed());
        const qint64 gap = watch.longestGap();
        const qint64 wait = watch.longestWait(1000);
        std::printf("  preview: %lld ms to the repaint; longest without repaint %lld ms; longest "
                    "event-loop wait (1 s after included) %lld ms;%s peak memory %ld MB\n",
                    static_cast<long long>(shown), static_cast<long long>(gap),
                    static_cast<long long>(wait), asked().c_str(), peakMegabytes());
    }

    // Processes the chosen file; with `cancelAt` >= 0, Cancel is clicked that
    // many milliseconds after Process.
    void process(int cancelAt = -1) {
        auto* button = form->findChild<QToolButton*>(QStringLiteral("Command2"));
        QTest::qWait(200);
        watch.arm();
        qint64 cancelDue = -1, cancelTaken = -1;
        QTimer cancel;
        cancel.setSingleShot(true);
        cancel.setTimerType(Qt::PreciseTimer);
        if (cancelAt >= 0) {
            cancelDue = cancelAt;
            cancel.start(cancelAt);
            QObject::connect(&cancel, &QTimer::timeout, [&] {
                cancelTaken = watch.elapsed();
                if (button->text() == QStringLiteral("Cancel"))
                    QTest::mouseClick(button, Qt::LeftButton);
                else
                    cancelDue = -1; // the run was not in its main pass
            });
        }
        QTest::mouseClick(button, Qt::LeftButton);
        const qint64 ended = watch.elapsed();
        if (cancel.isActive()) {
            cancel.stop();
            cancelDue = -1;
        }
        const qint64 shown = untilRepainted(ended);
        const qint64 gap = watch.longestGap();
        const qint64 wait = watch.longestWait(1000);
        std::printf("  run: %lld ms to the last caption, %lld ms to its repaint; longest without "
                    "repaint %lld ms; longest event-loop wait (1 s after included) %lld ms;%s "
                    "peak memory %ld MB\n",
                    static_cast<long long>(ended), static_cast<long long>(shown),
                    static_cast<long long>(gap), static_cast<long long>(wait), asked().c_str(),
                    peakMegabytes());
        std::printf("  figures: %s lines, %s received headers, %s\n",
                    qPrintable(caption("Label12")), qPrintable(caption("Label16")),
                    qPrintable(caption("Label7")));
        if (cancelAt >= 0) {
            if (cancelDue < 0)
                std::printf("  Cancel at %d ms: the run was not in its main pass\n", cancelAt);
            else
                std::printf("  Cancel clicked at %d ms: taken %lld ms later, run ended %lld ms "
                            "after the click\n",
                            cancelAt, static_cast<long long>(cancelTaken - cancelDue),
                            static_cast<long long>(ended - cancelDue));
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tallix);
    const bool ask = argc == 3 && std::string(argv[2]) == "ask";
    if (argc != 2 && !ask) {
        std::fprintf(stderr, "usage: %s log | rtf | FILE [ask]\n", argv[0]);
        return 2;
    }
    const std::string what = argv[1];
    QTemporaryDir data;
    fs::path file;
    if (what == "log" || what == "rtf") {
        demo::LogOptions options;
        options.seed = 65000;
        options.lines = 65000;
        const std::string bytes = what == "log" ? demo::generateLog(options) : richLog(60000);
        file = fs::path(data.path().toStdString()) / (what == "log" ? "long.log" : "long.rtf");
        std::ofstream(file, std::ios::binary) << bytes;
    } else {
        file = what;
    }
    std::printf("%s, %llu bytes\n", file.filename().c_str(),
                static_cast<unsigned long long>(fs::file_size(file)));
    Bench bench(file, ask);
    const QString name = QString::fromStdString(file.filename().string());
    bench.select(name);
    if (what == "rtf")
        return 0;
    if (what == "log") {
        for (int i = 0; i < 3; ++i)
            bench.process();
        for (const int at : {20, 40, 60})
            bench.process(at);
        // "Remove Your TX Frames" off: the raw text is copied into the processed pane.
        bench.form->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(false);
        bench.process();
        return 0;
    }
    bench.process();
    return 0;
}
