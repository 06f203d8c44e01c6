// Measures how long the "Heard stations" window keeps its events waiting
// while its "Graph" tab is opened on a log: the longest gap between the
// ticks of a 1 ms timer from the click on the tab until the graph is shown.
//
//   tallix_ui_graph_stall LOG OWN_CALL [OUT_DIR]
//
// prints the click's own time, the longest gap and the time until the graph
// is shown, in milliseconds; with OUT_DIR it writes the window while drawing
// and once drawn to drawing.png and drawn.png there.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "analysis/run.h"
#include "fake_prompts.h"
#include "files/raw_text.h"
#include "ui/heard_stations_window.h"
#include "ui/station_paths_view.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s LOG OWN_CALL [OUT_DIR]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    using namespace tallix;
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const auto text = std::make_shared<const std::string>(bytes.str());
    analysis::RunInput input;
    input.currentFile = argv[1];
    input.ownCall = argv[2];
    input.writeRtfTempFile = false;
    input.fileBytes = text;
    input.rawPane = [text] { return analysis::RawPane{*text, files::previewLineCount(*text)}; };
    analysis::LineStore store;
    analysis::HeardStore heard;
    analysis::RunControl control;
    analysis::RunOutcome out = analysis::runAnalysis(input, store, heard, control);

    ui::test::FakePrompts prompts;
    ui::HeardStationsWindow window(prompts);
    window.setRun(std::move(out.stations), std::move(out.activity), out.paths.records(), argv[1]);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* views = window.findChild<QTabWidget*>("StationViews");
    auto* graph = window.findChild<ui::GraphView*>("GraphView");

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    QEventLoop drawn;
    QObject::connect(graph, &ui::GraphView::drawn, &drawn, &QEventLoop::quit);
    tick.start(1);
    clock.start();
    QTest::mouseClick(views->tabBar(), Qt::LeftButton, {}, views->tabBar()->tabRect(2).center());
    const qint64 click = clock.elapsed();
    const QString shots = argc == 4 ? QString::fromLocal8Bit(argv[3]) + "/" : QString();
    if (!shots.isEmpty()) {
        QTest::qWait(100); // laid out and painted
        window.grab().save(shots + "drawing.png");
    }
    drawn.exec();
    const qint64 shown = clock.elapsed();
    QApplication::processEvents(); // the drawing painted
    if (!shots.isEmpty())
        window.grab().save(shots + "drawn.png");
    std::printf("paths %zu: click %lld ms, longest gap %lld ms, graph shown after %lld ms\n",
                graph->paths()->size(), static_cast<long long>(click),
                static_cast<long long>(std::max(longest, click)), static_cast<long long>(shown));
    return graph->svg().empty() ? 1 : 0;
}
