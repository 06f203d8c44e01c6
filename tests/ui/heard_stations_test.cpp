// The heard stations in the window: each heard-list entry's tip, and the
// "Heard stations" window opened by a double click on an entry: its sortable
// table, its chart, and saving both.

#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
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

using tallix::ui::Form1;
using tallix::ui::HeardStationsWindow;
using tallix::ui::test::FakePrompts;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
    QFile f(QString::fromStdString(path.string()));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<unreadable>");
}

// Own call AB1CD. EF2GH is heard direct and via the digipeater, the own call
// as sent and as digipeated, ZZ9ZZ without a stamp, ab1cd in lower case.
const std::string PassLog = "Kest log\r\n"
                            "Fm EF2GH To CQ >[10:00:00]\r\nhi\r\n"
                            "Fm AB1CD To CQ >[10:00:30]\r\nhello\r\n"
                            "Fm AB1CD To CQ Via DIGI* >[10:00:40]\r\n"
                            "Fm ZZ9ZZ To CQ\r\n"
                            "Fm EF2GH To CQ Via DIGI* >[10:42:13]\r\nhi\r\n"
                            "fm ab1cd to cq >[10:05:00]\r\n";

const std::string OtherLog = "Kest log\r\n"
                             "Fm PA3XYZ To CQ >[22:00:00]\r\n"
                             "Fm PA3XYZ To CQ >[22:01:00]\r\n"
                             "Fm PA3XYZ To CQ >[22:03:00]\r\n";

struct KestFolder {
    QTemporaryDir dir;
    fs::path root() const { return fs::path(dir.path().toStdString()); }
    fs::path reports() const { return root() / "Reports"; }
    KestFolder() {
        writeFile(root() / "kest.ini", ";Kest 3.1\r\nport=1\r\nbaud=1200\r\nAB1CD\r\n");
        fs::create_directory(reports());
        writeFile(reports() / "pass.log", PassLog);
        writeFile(reports() / "other.log", OtherLog);
    }
};

struct Window {
    FakePrompts prompts;
    Form1 form;
    explicit Window(const KestFolder& kest) : form({kest.root().string(), "4KTRMN"}, prompts) {
        if (!form.Form_Load())
            qFatal("start-up failed");
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("window not shown");
    }
    template <class T> T* get(const char* name) {
        auto* w = form.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no element %s", name);
        return w;
    }
    void run(const char* file) {
        auto* files = get<QListWidget>("File1");
        files->setCurrentItem(
            files->findItems(QString::fromLatin1(file), Qt::MatchExactly).value(0));
        QTest::mouseClick(get<QWidget>("Command2"), Qt::LeftButton);
    }
    // A double click on the first entry of List1, as the user makes it.
    HeardStationsWindow* openStations() {
        auto* list = get<QListWidget>("List1");
        const QPoint at = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        return form.findChild<HeardStationsWindow*>(QStringLiteral("HeardStations"));
    }
};

QStringList shownCalls(HeardStationsWindow* stations) {
    auto* table = stations->findChild<QTableView*>(QStringLiteral("StationTable"));
    QStringList calls;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        calls << table->model()->index(r, 0).data().toString();
    return calls;
}

void clickHeader(HeardStationsWindow* stations, int section) {
    QHeaderView* header =
        stations->findChild<QTableView*>(QStringLiteral("StationTable"))->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
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
    void entriesTellTheirFigures_data();
    void entriesTellTheirFigures();
    void opensSortedByLastHeardNewestFirst();
    void headerClicksSortEitherWay_data();
    void headerClicksSortEitherWay();
    void followsTheLastRun();
    void savesTheTableAsCsv();
    void savesTheChart();
};

void HeardStationsTest::entriesTellTheirFigures_data() {
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("tip");
    QTest::newRow("direct and via digipeater")
        << "EF2GH"
        << "2 frames, first 10:00:00, last 10:42:13, direct and via digipeater";
    QTest::newRow("own call")
        << "AB1CD"
        << "2 frames, first 10:00:30, last 10:00:40, direct and via digipeater, own call";
    QTest::newRow("never stamped") << "ZZ9ZZ"
                                   << "1 frame, no time stamp, direct";
    QTest::newRow("lower case is another station")
        << "ab1cd"
        << "1 frame, first 10:05:00, last 10:05:00, direct";
}

void HeardStationsTest::entriesTellTheirFigures() {
    QFETCH(QString, call);
    QFETCH(QString, tip);
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    for (const char* name : {"List1", "List2"}) {
        const auto found = w.get<QListWidget>(name)->findItems(call, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->toolTip(), tip);
    }
    // The list's own tip stays for the space beside the entries.
    QCOMPARE(w.get<QListWidget>("List1")->toolTip(),
             QStringLiteral("List of digipeated/heard stations"));
}

void HeardStationsTest::opensSortedByLastHeardNewestFirst() {
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    HeardStationsWindow* stations = w.openStations();
    QVERIFY(stations);
    QVERIFY(stations->isVisible());
    QCOMPARE(stations->windowTitle(), QStringLiteral("Heard stations"));
    QVERIFY(stations->isWindow());
    QCOMPARE(shownCalls(stations), (QStringList{"EF2GH", "ab1cd", "AB1CD", "ZZ9ZZ"}));
    auto* table = stations->findChild<QTableView*>(QStringLiteral("StationTable"));
    QCOMPARE(table->model()->index(0, 1).data().toInt(), 2);
    QCOMPARE(table->model()->index(0, 3).data().toString(), QStringLiteral("10:42:13"));
    QCOMPARE(table->model()->index(2, 6).data().toString(), QStringLiteral("yes"));
    QCOMPARE(table->model()->index(3, 0).data(Qt::ToolTipRole).toString(),
             QStringLiteral("1 frame, no time stamp, direct"));
    QCOMPARE(stations->findChild<QLabel*>(QStringLiteral("StationCount"))->text(),
             QStringLiteral("4 stations"));
    // The chart holds the log's minutes, 10:00 to 10:42.
    const auto& series = stations->findChild<tallix::ui::ActivityChart*>()->series();
    QCOMPARE(series.firstMinute, std::int64_t{600});
    QCOMPARE(series.minutes.size(), std::size_t{43});
    QVERIFY(!stations->findChild<tallix::ui::ActivityChart*>()->grab().isNull());

    // The main window stays usable; a double click on List2 raises the same window.
    auto* list2 = w.get<QListWidget>("List2");
    emit list2->itemDoubleClicked(list2->item(0));
    QCOMPARE(w.form.findChildren<HeardStationsWindow*>().size(), 1);
}

void HeardStationsTest::headerClicksSortEitherWay_data() {
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("calls");
    QTest::newRow("call") << 0 << 1 << QStringList{"AB1CD", "ab1cd", "EF2GH", "ZZ9ZZ"};
    QTest::newRow("call backwards") << 0 << 2 << QStringList{"ZZ9ZZ", "EF2GH", "ab1cd", "AB1CD"};
    QTest::newRow("most frames first, ties by call")
        << 1 << 1 << QStringList{"AB1CD", "EF2GH", "ab1cd", "ZZ9ZZ"};
    QTest::newRow("fewest frames first")
        << 1 << 2 << QStringList{"ab1cd", "ZZ9ZZ", "AB1CD", "EF2GH"};
    QTest::newRow("first heard, unstamped last")
        << 2 << 1 << QStringList{"EF2GH", "AB1CD", "ab1cd", "ZZ9ZZ"};
    QTest::newRow("last heard flips to oldest first")
        << 3 << 1 << QStringList{"AB1CD", "ab1cd", "EF2GH", "ZZ9ZZ"};
    QTest::newRow("last heard back to newest first")
        << 3 << 2 << QStringList{"EF2GH", "ab1cd", "AB1CD", "ZZ9ZZ"};
    QTest::newRow("most via digipeater first")
        << 5 << 1 << QStringList{"AB1CD", "EF2GH", "ab1cd", "ZZ9ZZ"};
    QTest::newRow("own station first") << 6 << 1 << QStringList{"AB1CD", "ab1cd", "EF2GH", "ZZ9ZZ"};
}

void HeardStationsTest::headerClicksSortEitherWay() {
    QFETCH(int, section);
    QFETCH(int, clicks);
    QFETCH(QStringList, calls);
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    HeardStationsWindow* stations = w.openStations();
    QVERIFY(stations);
    QVERIFY(QTest::qWaitForWindowExposed(stations));
    for (int i = 0; i < clicks; ++i)
        clickHeader(stations, section);
    QCOMPARE(shownCalls(stations), calls);
}

void HeardStationsTest::followsTheLastRun() {
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    HeardStationsWindow* stations = w.openStations();
    QVERIFY(QTest::qWaitForWindowExposed(stations));
    clickHeader(stations, 0); // by call

    // A run while the window is open: its stations replace the table's, in the
    // order the user chose.
    writeFile(kest.reports() / "other.log", OtherLog + "Fm DL1AAA To CQ >[21:59:00]\r\n");
    w.run("other.log");
    QCOMPARE(shownCalls(stations), (QStringList{"DL1AAA", "PA3XYZ"}));
    QCOMPARE(stations->findChild<tallix::ui::ActivityChart*>()->series().minutes.size(),
             std::size_t{5});
    QCOMPARE(w.get<QListWidget>("List1")->item(0)->toolTip(),
             QStringLiteral("3 frames, first 22:00:00, last 22:03:00, direct"));

    // Closed, then opened again after the next run: that run's stations,
    // newest first once more.
    stations->close();
    w.run("pass.log");
    QCOMPARE(w.openStations(), stations);
    QCOMPARE(shownCalls(stations), (QStringList{"EF2GH", "ab1cd", "AB1CD", "ZZ9ZZ"}));
    QCOMPARE(w.form.findChildren<HeardStationsWindow*>().size(), 1);
}

void HeardStationsTest::savesTheTableAsCsv() {
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    HeardStationsWindow* stations = w.openStations();
    QVERIFY(QTest::qWaitForWindowExposed(stations));
    auto* save = stations->findChild<QPushButton*>(QStringLiteral("SaveCsv"));
    QCOMPARE(save->text(), QStringLiteral("Save as CSV..."));

    // Cancelled: nothing written, nothing asked.
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(w.prompts.saveRequests.size(), std::size_t{1});
    const auto& request = w.prompts.saveRequests[0];
    QCOMPARE(request.initialName, std::string("pass-stations.csv"));
    QCOMPARE(fs::path(request.folder), kest.reports());
    QVERIFY(w.prompts.messages.empty());

    const fs::path target = kest.root() / "stations.csv";
    w.prompts.saveAnswers.push_back(target.string());
    QTest::mouseClick(save, Qt::LeftButton);
    // In the table's order, last heard first.
    const std::string expected = "Call,Frames,First heard,Last heard,Direct,Via digipeater,Own\r\n"
                                 "EF2GH,2,10:00:00,10:42:13,1,1,no\r\n"
                                 "ab1cd,1,10:05:00,10:05:00,1,0,no\r\n"
                                 "AB1CD,2,10:00:30,10:00:40,1,1,yes\r\n"
                                 "ZZ9ZZ,1,,,1,0,no\r\n";
    QCOMPARE(readFile(target), expected);

    // An existing file is replaced only when the user says so.
    writeFile(target, "keep me");
    w.prompts.saveAnswers.push_back(target.string());
    w.prompts.answers.push_back(tallix::ui::Answer::No);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(readFile(target), std::string("keep me"));
    QCOMPARE(w.prompts.messages.back().buttons, tallix::app::Buttons::YesNo);
    clickHeader(stations, 0); // by call
    w.prompts.saveAnswers.push_back(target.string());
    w.prompts.answers.push_back(tallix::ui::Answer::Yes);
    QTest::mouseClick(save, Qt::LeftButton);
    QVERIFY(readFile(target).starts_with("Call,Frames,First heard,Last heard,Direct,Via "
                                         "digipeater,Own\r\nAB1CD,2,"));

    // A folder that is not there: the user is told.
    const std::size_t before = w.prompts.messages.size();
    w.prompts.saveAnswers.push_back((kest.root() / "gone" / "x.csv").string());
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(w.prompts.messages.size(), before + 1);
    QCOMPARE(w.prompts.messages.back().title, std::string("Heard stations"));
    QCOMPARE(w.prompts.messages.back().icon, tallix::app::Icon::Critical);
}

void HeardStationsTest::savesTheChart() {
    KestFolder kest;
    Window w(kest);
    w.run("pass.log");
    HeardStationsWindow* stations = w.openStations();
    auto* save = stations->findChild<QPushButton*>(QStringLiteral("SaveChart"));
    QCOMPARE(save->text(), QStringLiteral("Save chart..."));

    const fs::path png = kest.root() / "chart.png";
    const fs::path svg = kest.root() / "chart.SVG";
    w.prompts.saveAnswers = {png.string(), svg.string()};
    QTest::mouseClick(save, Qt::LeftButton);
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(w.prompts.saveRequests.front().initialName, std::string("pass-activity.png"));
    const QImage image(QString::fromStdString(png.string()), "PNG");
    QCOMPARE(image.size(), QSize(960, 360));
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    QVERIFY(readFile(svg).find("<svg") != std::string::npos);
    QVERIFY(w.prompts.messages.empty());
}

QTEST_MAIN(HeardStationsTest)
#include "heard_stations_test.moc"
