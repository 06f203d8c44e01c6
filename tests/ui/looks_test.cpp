// How the windows render, measured in their pictures.

#include <functional>

#include "ui/classic_looks.h"
#include "window_fixture.h"

using namespace tallix::ui;
using namespace tallix::ui::test;

namespace {

using Font = std::function<QFont(Window&)>; // of an element of the window

QImage picture(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The darkest pixel's lightness at or right of column `fromX`.
int darkest(const QImage& image, int fromX) {
    int least = 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = fromX; x < image.width(); ++x)
            least = std::min(least, qGray(image.pixel(x, y)));
    return least;
}

} // namespace

class LooksTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    // The etched line runs through each frame's title, above every element of
    // the frame. Children sit in a picture box's inner area; the box's border
    // shows on all sides. The Sort box is cyan all over.
    void framesAndBoxes() {
        Window w;
        w.show();
        for (const char* name : {"Frame1", "Frame2", "Frame3"}) {
            auto* box = w.get(name);
            const QImage image = picture(box);
            const QRgb background = image.pixel(box->width() / 2, 0);
            const int x = box->width() - 8; // right of the title
            int line = 0;
            while (line < image.height() && image.pixel(x, line) == background)
                ++line;
            int firstChild = box->height();
            for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                firstChild = std::min(firstChild, child->y());
            QVERIFY2(line < firstChild && line <= box->fontMetrics().height() / 2 + 1,
                     qPrintable(QString("%1: line at row %2, first element at %3")
                                    .arg(name)
                                    .arg(line)
                                    .arg(firstChild)));
        }
        for (const char* name : {"Picture1", "Picture3", "Picture4"}) {
            auto* frame = w.get<QFrame>(name);
            for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(frame->contentsRect().contains(child->pos()),
                         qPrintable(child->objectName()));
            const QImage image = picture(frame);
            const QColor border = frame->palette().color(QPalette::WindowText);
            const int w1 = image.width() - 1, h1 = image.height() - 1;
            for (const QPoint edge :
                 {QPoint(w1 / 2, 0), QPoint(0, h1 / 2), QPoint(w1 / 2, h1), QPoint(w1, h1 / 2)})
                QCOMPARE(QColor(image.pixel(edge)), border);
        }
        auto* sort = w.get("Check2");
        QCOMPARE(QColor(picture(sort).pixel(sort->width() - 4, sort->height() / 2)),
                 QColor(128, 255, 255));
    }

    // The circles, 13 pixels apart, neither touch each other nor the frame's
    // line; the choices of missing folders look disabled.
    void optionButtonsFitTheirRowsAndShowTheirState() {
        Window w({}, "Reports");
        w.show();
        QRect above(0, 0, 1, w.get<TitledFrame>("Frame3")->lineRow() + 1);
        for (const char* name : {"Option1_0", "Option1_3", "Option1_1", "Option1_2"}) {
            auto* option = w.get<QRadioButton>(name);
            QStyleOptionButton look;
            look.initFrom(option);
            const QRect circle =
                option->style()
                    ->subElementRect(QStyle::SE_RadioButtonIndicator, &look, option)
                    .translated(option->pos());
            QVERIFY2(circle.top() > above.bottom() + 1, name);
            above = circle;
        }
        const auto textDarkness = [&](const char* name) {
            auto* option = w.get<QRadioButton>(name);
            return darkest(picture(option), option->height());
        };
        QVERIFY(w.get("Option1_1")->isEnabled() && !w.get("Option1_3")->isEnabled());
        QVERIFY(textDarkness("Option1_3") > textDarkness("Option1_1") + 40);
    }

    // The window's family throughout, in the sizes the layout gives; a message
    // box stands for every Qt element that takes the application's font.
    void oneFontFamily_data() {
        QTest::addColumn<Font>("font");
        QTest::addColumn<double>("points");
        const auto element = [](const char* name) {
            return Font([name](Window& w) { return w.get(name)->font(); });
        };
        const auto made = [](auto make) {
            return Font([make](Window& w) { return std::unique_ptr<QWidget>(make(w))->font(); });
        };
        QTest::newRow("file list") << element("File1") << 6.75;
        QTest::newRow("call sign") << element("Label2") << 8.25;
        QTest::newRow("indicator") << element("Label19") << 12.0;
        QTest::newRow("message box")
            << made([](Window& w) { return new QMessageBox(&w.form); }) << 8.0;
    }
    void oneFontFamily() {
        QFETCH(Font, font);
        QFETCH(double, points);
        Window w;
        const QFont f = font(w);
        QCOMPARE(f.family(), w.form.font().family());
        QCOMPARE(f.pointSizeF(), points);
    }

    // A long path loses the middle of its folders, a long call its end; the
    // label stays in its room and its tip tells the whole below its own.
    void longTextsCutToTheirRoom_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("limit"); // the element the label must stop short of
        QTest::newRow("path") << "Label5"
                              << "/" + QString(70, 'n') + ".log"
                              << "Frame1";
        QTest::newRow("call sign") << "Label2"
                                   << "PA3XYZ"
                                   << "Picture2";
    }
    void longTextsCutToTheirRoom() {
        QFETCH(QString, label);
        QFETCH(QString, kept);
        QFETCH(QString, limit);
        const std::string name = QString(70, 'n').toStdString() + ".log";
        Window w({{"Reports/" + name, "Kest\r\n"}}, "Reports",
                 ";Kest\r\n\r\n\r\nPA3XYZ-15 AT THE CLUB STATION NEAR THE OLD WATER TOWER\r\n");
        w.select(QString::fromStdString(name));
        auto* shown = w.get<QLabel>(label);
        const QString whole = label == "Label5"
                                  ? QString::fromStdString((w.reports / name).string())
                                  : "PA3XYZ-15 AT THE CLUB STATION NEAR THE OLD "
                                    "WATER TOWER";
        QVERIFY2(shown->text().contains(QChar(0x2026)), qPrintable(shown->text()));
        QVERIFY2(label == "Label5" ? shown->text().endsWith(kept) : shown->text().startsWith(kept),
                 qPrintable(shown->text()));
        QWidget* stop = w.get(limit);
        const int room = limit == "Frame1" ? stop->width() : stop->x();
        QVERIFY(shown->geometry().right() < room);
        const QString ownTip = label == "Label5" ? QString()
                                                 : QStringLiteral("Call sign which is "
                                                                  "used to analyse the "
                                                                  "file (retrieved "
                                                                  "from Kest)\n");
        QCOMPARE(shownTip(shown->toolTip()), ownTip + whole);
    }

    // A name too long for the file list is cut within the list, and its tip
    // tells it whole below the list's own.
    void longNamesInTheFileList() {
        const QString name = QString(60, 'm') + ".log";
        Window w({{"Reports/" + name.toStdString(), "Kest\r\n"}, {"Reports/a.log", "Kest\r\n"}},
                 "Reports");
        w.show();
        auto* list = w.get<QListWidget>("File1");
        QListWidgetItem* entry = list->findItems(name, Qt::MatchExactly).value(0);
        QVERIFY(list->visualItemRect(entry).right() < list->viewport()->width());
        QCOMPARE(list->horizontalScrollBar()->isVisible(), false);
        const auto tipAt = [&](QListWidgetItem* item) {
            const QPoint at = list->visualItemRect(item).center();
            QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
            QToolTip::hideText();
            QApplication::sendEvent(list->viewport(), &help);
            return QToolTip::isVisible() ? shownTip(QToolTip::text()) : QString();
        };
        QCOMPARE(tipAt(entry), list->toolTip() + "\n" + name);
        QCOMPARE(tipAt(list->findItems("a.log", Qt::MatchExactly).value(0)), list->toolTip());
    }
};

QTEST_MAIN(LooksTest)
#include "looks_test.moc"
