// The heard stations in the window: each heard-list entry's tip, and the
// "Heard stations" window a double click on an entry opens: its sortable
// table, its chart, and saving both. The figures themselves are the core's.

#include <QHeaderView>
#include <QImage>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>

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
                                          "Fm DL1AAA To CQ >[22:04:00]\r\n"}};

// The stations window opened from `list` after a run over pass.log.
HeardStationsWindow* openStations(Window& w, const char* list = "List1") {
    w.run("pass.log");
    auto* entries = w.get<QListWidget>(list);
    emit entries->itemDoubleClicked(entries->item(0));
    return w.get<HeardStationsWindow>("HeardStations");
}

// The calls in the table's order, then the chart's minutes.
QString shown(HeardStationsWindow* stations) {
    const QAbstractItemModel* model = stations->findChild<QTableView*>()->model();
    QStringList calls;
    for (int r = 0; r < model->rowCount(); ++r)
        calls << model->index(r, 0).data().toString();
    const auto minutes = stations->findChild<tallix::ui::ActivityChart*>()->series().minutes;
    return calls.join(' ') + " | " + QString::number(minutes.size());
}

void clickHeader(HeardStationsWindow* stations, int section) {
    QHeaderView* header = stations->findChild<QTableView*>()->horizontalHeader();
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
        QCOMPARE(
            tipOf("List1", "ab1cd"),
            "List of digipeated/heard stations\n1 frame, first 10:05:00, last 10:05:00, direct");
        QCOMPARE(tipOf("List2", "EF2GH"), "");
        QVERIFY(QTest::qWaitForWindowExposed(stations));
        QCOMPARE(stations->windowTitle(), "Heard stations");
        QCOMPARE(shown(stations), "EF2GH ab1cd AB1CD ZZ9ZZ | 43"); // newest first
        QCOMPARE(shownTip(stations->findChild<QTableView*>()
                              ->model()
                              ->index(3, 0)
                              .data(Qt::ToolTipRole)
                              .toString()),
                 "1 frame, no time stamp, direct");

        // A run while the window is open: its stations, in the order chosen.
        clickHeader(stations, 0); // by call
        w.run("other.log");
        QCOMPARE(shown(stations), "DL1AAA PA3XYZ | 5");
        QCOMPARE(shownTip(w.get<QListWidget>("List1")->item(0)->toolTip()),
                 "List of digipeated/heard stations\n1 frame, first 22:00:00, last 22:00:00, "
                 "direct");
        // Closed and opened again from List2 after the next run: newest first
        // once more, the same window.
        stations->close();
        QCOMPARE(openStations(w, "List2"), stations);
        QCOMPARE(w.form.findChildren<HeardStationsWindow*>().size(), 1);
        QCOMPARE(shown(stations), "EF2GH ab1cd AB1CD ZZ9ZZ | 43");
    }

    void headerClicksSortEitherWay_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("calls");
        QTest::newRow("call") << 0 << 1 << "AB1CD ab1cd EF2GH ZZ9ZZ | 43";
        QTest::newRow("call backwards") << 0 << 2 << "ZZ9ZZ EF2GH ab1cd AB1CD | 43";
        QTest::newRow("most frames first") << 1 << 1 << "AB1CD EF2GH ab1cd ZZ9ZZ | 43";
        QTest::newRow("last heard flips to oldest first")
            << 3 << 1 << "AB1CD ab1cd EF2GH ZZ9ZZ | 43";
    }
    void headerClicksSortEitherWay() {
        QFETCH(int, section);
        QFETCH(int, clicks);
        QFETCH(QString, calls);
        Window w(Logs);
        HeardStationsWindow* stations = openStations(w);
        QVERIFY(QTest::qWaitForWindowExposed(stations));
        for (int i = 0; i < clicks; ++i)
            clickHeader(stations, section);
        QCOMPARE(shown(stations), calls);
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
            got.push_back(readFile(csv).substr(0, 78));
        }
        QCOMPARE(got[0], "keep me");
        QCOMPARE(got[1], "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                         "EF2GH,2,10:00:00");
        QCOMPARE(w.prompts.saveRequests[0].initialName, "pass-stations.csv");
        QCOMPARE(QImage(QString::fromStdString(png.string()), "PNG").size(), QSize(960, 360));
        QCOMPARE(w.prompts.messages.back().icon, tallix::app::Icon::Critical);
    }
};

QTEST_MAIN(HeardStationsTest)
#include "heard_stations_test.moc"
