// The heard stations in the window: each heard-list entry's tip, and the
// "Heard stations" window a double click on an entry opens: its sortable
// table, its chart, and saving both. The figures themselves are the core's.

#include <QSvgRenderer>
#include <QSvgWidget>

#include "ui/activity_chart.h"
#include "ui/heard_stations_window.h"
#include "window_fixture.h"

using tallix::ui::HeardStationsWindow;
using namespace tallix::ui::test;

namespace {

// Own call AB1CD, heard as sent and as digipeated; EF2GH direct and via the
// digipeater; ZZ9ZZ never stamped; ab1cd in lower case.
const Files Logs = {{"Reports/pass.log", "Kest log\r\nFm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                                         "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                                         "Fm AB1CD To CQ Via DIGI* >[10:00:40]\r\n"
                                         "Fm ZZ9ZZ To CQ\r\n"
                                         "Fm EF2GH To CQ Via DIGI* >[10:42:13]\r\nhi\r\n"
                                         "fm ab1cd to cq >[10:05:00]\r\n"},
                    {"Reports/other.log", "Kest log\r\nFm PA3XYZ To CQ >[22:00:00]\r\n"
                                          "Fm DL1AAA To CQ >[22:04:00]\r\n"},
                    // EF2GH only through D1 or D2; ZZ9ZZ direct and through D1
                    // unrepeated; the own frame back through D1, then D2.
                    {"Reports/paths.log", "Kest log\r\n"
                                          "Fm EF2GH To CQ Via D1* <UI> >[10:00:00]\r\nhi\r\n"
                                          "Fm ZZ9ZZ To CQ <UI> >[10:01:00]\r\n"
                                          "Fm AB1CD To CQ Via D1*,D2* <UI> >[10:02:00]\r\n"
                                          "Fm EF2GH To CQ Via D1,D2* <UI> >[10:03:00]\r\n"
                                          "Fm EF2GH To CQ Via D1* <UI> >[10:04:00]\r\n"
                                          "Fm ZZ9ZZ To CQ Via D1 <UI> >[10:05:00]\r\n"}};

// The stations window opened from `list` after a run over pass.log, on screen.
HeardStationsWindow* openStations(Window& w, const char* list = "List1",
                                  const QString& log = "pass.log") {
    w.run(log);
    auto* entries = w.get<QListWidget>(list);
    emit entries->itemDoubleClicked(entries->item(0));
    auto* stations = w.get<HeardStationsWindow>("HeardStations");
    if (!QTest::qWaitForWindowExposed(stations))
        qFatal("the stations window was not shown");
    return stations;
}

// The calls in the table's order, then the chart's minutes.
QString shown(HeardStationsWindow* stations) {
    const QAbstractItemModel* model = stations->findChild<QTableView*>("StationTable")->model();
    QStringList calls;
    for (int r = 0; r < model->rowCount(); ++r)
        calls << model->index(r, 0).data().toString();
    const auto minutes = stations->findChild<tallix::ui::ActivityChart*>()->series().minutes;
    return calls.join(' ') + " | " + QString::number(minutes.size());
}

// A table's rows, cells joined by "|".
QStringList rowsOf(const QTableWidget* table) {
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->item(r, c)->text();
        rows << cells.join('|');
    }
    return rows;
}

void clickHeader(HeardStationsWindow* stations, int section) {
    QHeaderView* header = stations->findChild<QTableView*>("StationTable")->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

} // namespace

class HeardStationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    void tipsOpeningOrderAndTheLastRun() {
        Window w(Logs);
        HeardStationsWindow* stations = openStations(w);
        // An entry's tip keeps the list's own and adds the station's figures;
        // the sorted list has no tip, nor have its entries.
        const auto tipOf = [&](const char* list, const char* call) {
            return shownTip(
                w.get<QListWidget>(list)->findItems(call, Qt::MatchExactly)[0]->toolTip());
        };
        QCOMPARE(tipOf("List1", "EF2GH"), "List of digipeated/heard stations\n"
                                          "2 frames, first 10:00:00, last 10:42:13, direct and "
                                          "via digipeater");
        QCOMPARE(tipOf("List2", "EF2GH"), "");
        QCOMPARE(stations->windowTitle(), "Heard stations");
        QCOMPARE(shown(stations), "EF2GH ab1cd AB1CD ZZ9ZZ | 43"); // newest first

        // Header clicks sort either way: most frames first, by call, backwards.
        const std::pair<int, const char*> sorts[] = {{1, "AB1CD EF2GH ab1cd ZZ9ZZ | 43"},
                                                     {0, "AB1CD ab1cd EF2GH ZZ9ZZ | 43"},
                                                     {0, "ZZ9ZZ EF2GH ab1cd AB1CD | 43"}};
        for (const auto& [section, calls] : sorts) {
            clickHeader(stations, section);
            QCOMPARE(shown(stations), calls);
        }
        // A run while the window is open: its stations, in the order chosen.
        clickHeader(stations, 0); // by call
        w.run("other.log");
        QCOMPARE(shown(stations), "DL1AAA PA3XYZ | 5");
        // Closed and opened again from List2 after the next run: newest first
        // once more, the same window.
        stations->close();
        QCOMPARE(openStations(w, "List2"), stations);
        QCOMPARE(w.form.findChildren<HeardStationsWindow*>().size(), 1);
        QCOMPARE(shown(stations), "EF2GH ab1cd AB1CD ZZ9ZZ | 43");
    }

    // The paths of the run in the "Paths" view, the graph drawn in the "Graph"
    // view and saved as DOT, SVG or PNG by the name's ending.
    void pathsAndGraph() {
        Window w(Logs);
        HeardStationsWindow* stations = openStations(w, "List1", "paths.log");
        // EF2GH, first in List1, is never heard direct.
        QCOMPARE(shownTip(w.get<QListWidget>("List1")->item(0)->toolTip()).section(", ", -1),
                 "heard via D1* or D2*");
        auto* views = stations->findChild<QTabWidget*>("StationViews");
        QTest::mouseClick(views->tabBar(), Qt::LeftButton, {},
                          views->tabBar()->tabRect(1).center());
        QCOMPARE(views->currentWidget()->objectName(), "PathsView");
        QCOMPARE(
            rowsOf(stations->findChild<QTableWidget*>("PathTable")),
            QStringList({"AB1CD|D1*,D2*|1|10:02:00|10:02:00|D2", "EF2GH|D1*|2|10:00:00|10:04:00|D1",
                         "EF2GH|D1,D2*|1|10:03:00|10:03:00|D2",
                         "ZZ9ZZ|direct|1|10:01:00|10:01:00|ZZ9ZZ",
                         "ZZ9ZZ|D1|1|10:05:00|10:05:00|ZZ9ZZ"}));
        QCOMPARE(rowsOf(stations->findChild<QTableWidget*>("DigipeaterTable")),
                 QStringList({"D1|5|3|3", "D2|2|2|2"}));

        QTest::mouseClick(views->tabBar(), Qt::LeftButton, {},
                          views->tabBar()->tabRect(2).center());
        auto* picture = stations->findChild<QSvgWidget*>("PathGraph");
        QTRY_VERIFY(picture->isVisible());
        QVERIFY(picture->renderer()->isValid());
        QVERIFY(picture->renderer()->defaultSize().width() > 100);

        // Replacing a file is asked as for the table (savesOnlyWhereAndWhatTheUserSays).
        const fs::path dot = w.root / "g.dot", svg = w.root / "g.svg", png = w.root / "g.png";
        w.prompts.saveAnswers = {dot.string(), svg.string(), png.string(),
                                 (w.root / "gone" / "g.svg").string()};
        QSignalSpy saved(stations, &HeardStationsWindow::graphSaved);
        for (int i = 1; i <= 4; ++i) {
            QTest::mouseClick(stations->findChild<QPushButton*>("SaveGraph"), Qt::LeftButton);
            QTRY_COMPARE(saved.count(), i);
        }
        QVERIFY(readBytes(dot).starts_with("digraph paths "));
        QCOMPARE(w.prompts.saveRequests[0].initialName, "paths-paths.svg");
        QVERIFY(QSvgRenderer(QString::fromStdString(svg.string())).isValid());
        QVERIFY(!QImage(QString::fromStdString(png.string()), "PNG").isNull());
        QCOMPARE(w.prompts.messages.size(), 1U); // the failure, and nothing asked
        QCOMPARE(w.prompts.messages[0].icon, tallix::base::Icon::Critical);
    }

    // "No" to replacing a file keeps it; the table is saved in its order; the
    // chart as a picture; a failing save is reported.
    void savesOnlyWhereAndWhatTheUserSays() {
        Window w(Logs);
        HeardStationsWindow* stations = openStations(w);
        const fs::path csv = w.root / "stations.csv", png = w.root / "chart.png";
        writeFile(csv, "keep me");
        w.prompts.saveAnswers = {csv.string(), csv.string(), png.string(),
                                 (w.root / "gone" / "x.csv").string()};
        w.prompts.answers = {tallix::ui::Answer::No, tallix::ui::Answer::Yes};
        std::vector<std::string> got;
        for (const char* button : {"SaveCsv", "SaveCsv", "SaveChart", "SaveCsv"}) {
            QTest::mouseClick(stations->findChild<QPushButton*>(button), Qt::LeftButton);
            got.push_back(readBytes(csv).substr(0, 78));
        }
        QCOMPARE(got[0], "keep me");
        QCOMPARE(got[1], "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                         "EF2GH,2,10:00:00");
        QCOMPARE(w.prompts.saveRequests[0].initialName, "pass-stations.csv");
        QCOMPARE(QImage(QString::fromStdString(png.string()), "PNG").size(), QSize(960, 360));
        QCOMPARE(w.prompts.messages.back().icon, tallix::base::Icon::Critical);
    }
};

QTEST_MAIN(HeardStationsTest)
#include "heard_stations_test.moc"
