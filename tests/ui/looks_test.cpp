// How the windows render, measured in their pictures.

#include "ui/classic_looks.h"
#include "window_fixture.h"

using namespace tallix::ui;
using namespace tallix::ui::test;

namespace {

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

    // One check per look: the etched line runs through a frame's title, above
    // its elements; a picture box's border shows; the Sort box is cyan; the
    // choices of missing folders look disabled; one font family, in the sizes
    // the layout gives.
    void looks() {
        Window w({}, "Reports");
        w.show();
        auto* box = w.get("Frame1");
        const QImage image = picture(box);
        int line = 0;
        while (line < image.height() &&
               image.pixel(box->width() - 8, line) == image.pixel(box->width() / 2, 0))
            ++line;
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(line < child->y(), qPrintable(child->objectName()));
        QVERIFY(line <= box->fontMetrics().height() / 2 + 1);
        auto* frame = w.get<QFrame>("Picture1");
        QCOMPARE(QColor(picture(frame).pixel(0, frame->height() / 2)),
                 frame->palette().color(QPalette::WindowText));
        auto* sort = w.get("Check2");
        QCOMPARE(QColor(picture(sort).pixel(sort->width() - 4, sort->height() / 2)),
                 QColor(128, 255, 255));
        const auto textDarkness = [&](const char* name) {
            auto* option = w.get<QRadioButton>(name);
            return darkest(picture(option), option->height());
        };
        QVERIFY(textDarkness("Option1_3") > textDarkness("Option1_1") + 40);
        const QFont list = w.get("File1")->font();
        QCOMPARE(list.family() + " " + QString::number(list.pointSizeF()),
                 w.form.font().family() + " 6.75");
        QCOMPARE(QMessageBox(&w.form).font().family(), w.form.font().family());
    }

    // A long call loses its end; the label stays in its room and its tip
    // tells the whole below its own.
    void longCallCutToItsRoom() {
        const QString whole = "PA3XYZ-15 AT THE CLUB STATION NEAR THE OLD WATER TOWER";
        Window w({}, "Reports", ";Kest\r\n\r\n\r\n" + whole.toStdString() + "\r\n");
        w.show();
        auto* shown = w.get<QLabel>("Label2");
        QVERIFY2(shown->text().startsWith("PA3XYZ") && shown->text().endsWith(QChar(0x2026)),
                 qPrintable(shown->text()));
        QVERIFY(shown->geometry().right() < w.get("Picture2")->x());
        QCOMPARE(shownTip(shown->toolTip()),
                 "Call sign which is used to analyse the file (retrieved from Kest)\n" + whole);
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
