// The heard stations in the window: each heard-list entry's tip, and the
// "Heard stations" window a double click on an entry opens: its sortable
// table, its chart, and saving both. The figures themselves are the core's.

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <string>

#include "fake_prompts.h"
#include "ui/activity_chart.h"
#include "ui/form1.h"
#include "ui/heard_stations_window.h"

using tallix::ui::HeardStationsWindow;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    QFile f(QString::fromStdString(path.string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<unreadable>");
}

// Own call AB1CD, heard as sent and as digipeated; EF2GH direct and via the
// digipeater; ZZ9ZZ never stamped; ab1cd in lower case.
const std::string PassLog = "Kest log\r\n"
                            "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                            "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                            "Fm AB1CD To CQ Via DIGI* >[10:00:40]\r\n"
                            "Fm ZZ9ZZ To CQ\r\n"
                            "Fm EF2GH To CQ Via DIGI* >[10:42:13]\r\nhi\r\n"
                            "fm ab1cd to cq >[10:05:00]\r\n";

// A Kest folder with two logs in Reports.
fs::path kestFolder(const QTemporaryDir& dir) {
    const fs::path root = dir.path().toStdString();
    writeFile(root / "kest.ini", ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n");
    fs::create_directory(root / "Reports");
    writeFile(root / "Reports" / "pass.log", PassLog);
    writeFile(root / "Reports" / "other.log",
              "Kest log\r\nFm PA3XYZ To CQ >[22:00:00]\r\nFm DL1AAA To CQ >[22:04:00]\r\n");
    return root;
}

// The main window on that folder after a run over pass.log.
struct Window {
    QTemporaryDir dir;
    fs::path root = kestFolder(dir);
    tallix::ui::test::FakePrompts prompts;
    tallix::ui::Form1 form{{root.string(), "4KTRMN"}, prompts};
    Window() {
        if (!form.Form_Load())
            qFatal("start-up failed");
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("window not shown");
        run("pass.log");
    }
    template <class T> T* get(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
    void run(const char* file) {
        auto* files = get<QListWidget>("File1");
        files->setCurrentItem(
            files->findItems(QString::fromLatin1(file), Qt::MatchExactly).value(0));
        QTest::mouseClick(get<QWidget>("Command2"), Qt::LeftButton);
    }
    HeardStationsWindow* openStations() {
        auto* list = get<QListWidget>("List1");
        emit list->itemDoubleClicked(list->item(0));
        return get<HeardStationsWindow>("HeardStations");
    }
};

QTableView* table(HeardStationsWindow* stations) {
    return stations->findChild<QTableView*>(QStringLiteral("StationTable"));
}

QStringList shownCalls(HeardStationsWindow* stations) {
    QStringList calls;
    for (int r = 0; r < table(stations)->model()->rowCount(); ++r)
        calls << table(stations)->model()->index(r, 0).data().toString();
    return calls;
}

std::size_t chartMinutes(HeardStationsWindow* stations) {
    return stations->findChild<tallix::ui::ActivityChart*>()->series().minutes.size();
}

void clickHeader(HeardStationsWindow* stations, int section) {
    QHeaderView* header = table(stations)->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

} // namespace

class HeardStationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        Q_INIT_RESOURCE(tallix);
        QLocale::setDefault(QLocale::c());
        QStandardPaths::setTestModeEnabled(true);
    }

    void tipsOpeningOrderAndTheLastRun() {
        Window w;
        for (const auto& [call, tip] :
             {std::pair{"EF2GH", "2 frames, first 10:00:00, last 10:42:13, direct and via "
                                 "digipeater"},
              std::pair{"ab1cd", "1 frame, first 10:05:00, last 10:05:00, direct"}})
            for (const char* list : {"List1", "List2"})
                QCOMPARE(w.get<QListWidget>(list)
                             ->findItems(QString::fromLatin1(call), Qt::MatchExactly)
                             .value(0)
                             ->toolTip(),
                         QString::fromLatin1(tip));
        HeardStationsWindow* stations = w.openStations();
        QVERIFY(QTest::qWaitForWindowExposed(stations));
        QCOMPARE(stations->windowTitle(), QStringLiteral("Heard stations"));
        QCOMPARE(shownCalls(stations), (QStringList{"EF2GH", "ab1cd", "AB1CD", "ZZ9ZZ"}));
        QCOMPARE(table(stations)->model()->index(3, 0).data(Qt::ToolTipRole).toString(),
                 QStringLiteral("1 frame, no time stamp, direct"));
        QCOMPARE(chartMinutes(stations), std::size_t{43});

        // A run while the window is open: its stations, in the order chosen.
        clickHeader(stations, 0); // by call
        w.run("other.log");
        QCOMPARE(shownCalls(stations), (QStringList{"DL1AAA", "PA3XYZ"}));
        QCOMPARE(chartMinutes(stations), std::size_t{5});
        QCOMPARE(w.get<QListWidget>("List1")->item(0)->toolTip(),
                 QStringLiteral("1 frame, first 22:00:00, last 22:00:00, direct"));
        // Closed and opened again after the next run: newest first once more,
        // the same window, from List2 as well.
        stations->close();
        w.run("pass.log");
        auto* list2 = w.get<QListWidget>("List2");
        emit list2->itemDoubleClicked(list2->item(0));
        QCOMPARE(w.form.findChildren<HeardStationsWindow*>(), QList{stations});
        QCOMPARE(shownCalls(stations), (QStringList{"EF2GH", "ab1cd", "AB1CD", "ZZ9ZZ"}));
    }

    void headerClicksSortEitherWay_data() {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("call") << 0 << 1 << QStringList{"AB1CD", "ab1cd", "EF2GH", "ZZ9ZZ"};
        QTest::newRow("call backwards")
            << 0 << 2 << QStringList{"ZZ9ZZ", "EF2GH", "ab1cd", "AB1CD"};
        QTest::newRow("most frames first")
            << 1 << 1 << QStringList{"AB1CD", "EF2GH", "ab1cd", "ZZ9ZZ"};
        QTest::newRow("last heard flips to oldest first")
            << 3 << 1 << QStringList{"AB1CD", "ab1cd", "EF2GH", "ZZ9ZZ"};
    }

    void headerClicksSortEitherWay() {
        QFETCH(int, section);
        QFETCH(int, clicks);
        QFETCH(QStringList, calls);
        Window w;
        HeardStationsWindow* stations = w.openStations();
        QVERIFY(QTest::qWaitForWindowExposed(stations));
        for (int i = 0; i < clicks; ++i)
            clickHeader(stations, section);
        QCOMPARE(shownCalls(stations), calls);
    }

    void savesOnlyWhereAndWhatTheUserSays() {
        Window w;
        HeardStationsWindow* stations = w.openStations();
        const fs::path csv = w.root / "stations.csv", png = w.root / "chart.png";
        writeFile(csv, "keep me");
        w.prompts.saveAnswers = {csv.string(), csv.string(), png.string(),
                                 (w.root / "gone" / "x.csv").string()};
        w.prompts.answers = {tallix::ui::Answer::No, tallix::ui::Answer::Yes};
        auto click = [&](const char* button) {
            QTest::mouseClick(stations->findChild<QPushButton*>(QString::fromLatin1(button)),
                              Qt::LeftButton);
        };
        click("SaveCsv"); // "No" to replacing it
        QCOMPARE(readFile(csv), std::string("keep me"));
        QCOMPARE(w.prompts.saveRequests[0].initialName, std::string("pass-stations.csv"));
        click("SaveCsv"); // in the table's order
        QCOMPARE(readFile(csv), std::string("Call,Frames,First heard,Last heard,Direct,Via "
                                            "digipeater,Own\r\nEF2GH,2,10:00:00,10:42:13,1,1,no\r\n"
                                            "ab1cd,1,10:05:00,10:05:00,1,0,no\r\n"
                                            "AB1CD,2,10:00:30,10:00:40,1,1,yes\r\n"
                                            "ZZ9ZZ,1,,,1,0,no\r\n"));
        click("SaveChart");
        QCOMPARE(QImage(QString::fromStdString(png.string()), "PNG").size(), QSize(960, 360));
        click("SaveCsv"); // a folder that is not there: the user is told
        QCOMPARE(w.prompts.messages.back().icon, tallix::app::Icon::Critical);
    }
};

QTEST_MAIN(HeardStationsTest)
#include "heard_stations_test.moc"
