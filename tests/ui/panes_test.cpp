// The two panes, on the offscreen platform and under a real X server, where
// painting and layout take their real time.

#include <algorithm>

#include "demo/demo_logs.h"
#include "files/raw_text.h"
#include "window_fixture.h"

using namespace tallix::ui::test;
using F = tallix::analysis::SummaryFigures;

namespace {

QTextEdit* rawPane(Window& w) {
    return w.get<QTextEdit>("Text1");
}

QPlainTextEdit* processedPane(Window& w) {
    return w.get<QPlainTextEdit>("Text2");
}

// Where line 0 of `block` stands in the pane, in pixels from the left edge of
// the text area: its left and right ends.
std::pair<qreal, qreal> lineEnds(const QTextBlock& block) {
    block.document()->documentLayout()->blockBoundingRect(block); // laid out by now
    const QTextLine line = block.layout()->lineAt(0);
    const qreal x = block.layout()->position().x() + line.cursorToX(0);
    return {x, x + line.naturalTextWidth()};
}

// A log of `lines` lines of `width` characters each, CR LF after every one.
std::string linesOf(int lines, std::size_t width) {
    std::string log = "Report Kest 3.1\r\n";
    const std::string body = "Fm ST1 To CQ >[10:00:00] " + std::string(width - 25, 'x') + "\r\n";
    for (int i = 1; i < lines; ++i)
        log += body;
    return log;
}

} // namespace

class PanesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { startWindowTests(); }

    // The event loop gets its turns throughout a run of 65000 lines: no
    // stretch without one comes near half a second.
    void runOfTheLineLimitNeverStarvesTheWindow() {
        tallix::demo::LogOptions options;
        options.lines = tallix::analysis::MaxLines;
        options.ownCall = "AB1CD";
        Window w({{"Reports/long.log", tallix::demo::generateLog(options)}});
        w.select("long.log");
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer turns;
        connect(&turns, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        turns.start(5);
        clock.start();
        w.click("Command2");
        longest = std::max(longest, clock.elapsed() - last);
        QCOMPARE(w.figure(&F::lineCount), "65000");
        QVERIFY2(longest <= 500, qPrintable(QString("starved for %1 ms").arg(longest)));
    }

    // Long lines wrap at the pane's width, in both panes; there is no
    // horizontal scroll bar, and the line figure still counts line breaks.
    void longLinesWrapWithoutAHorizontalBar() {
        const std::string log = linesOf(3, 2000);
        Window w({{"Reports/wide.log", log}});
        w.select("wide.log");
        QCOMPARE(w.caption("Label12"), "2");
        w.get<QCheckBox>("Check1")->setChecked(false); // the raw text into the processed pane
        w.click("Command2");
        for (QAbstractScrollArea* pane : {static_cast<QAbstractScrollArea*>(rawPane(w)),
                                          static_cast<QAbstractScrollArea*>(processedPane(w))}) {
            // Nothing to scroll to sideways: every line fits the width.
            QTRY_COMPARE(pane->horizontalScrollBar()->maximum(), 0);
            QVERIFY2(!pane->horizontalScrollBar()->isVisible(), qPrintable(pane->objectName()));
            QVERIFY(pane->verticalScrollBar()->isVisible());
            QVERIFY(pane->verticalScrollBar()->maximum() > 0); // the wrapped lines are many
        }
    }

    // Centred and right-aligned paragraphs stand where they should within the
    // pane's width; left, right and first-line indents are kept.
    void richTextKeepsAlignmentAndIndents() {
        const std::string rtf = "{\\rtf1\\ansi\\qc Centred\\par\\qr Right\\par"
                                "\\pard\\li1500 Indented\\par\\pard\\qr\\ri3000 Kept off\\par"
                                "\\pard\\li1500\\fi-750 " +
                                std::string(300, 'h') + "\\par}";
        Window w({{"Reports/report.rtf", rtf}});
        w.select("report.rtf");
        QTextDocument* document = rawPane(w)->document();
        const qreal width = rawPane(w)->viewport()->width() - 2 * document->documentMargin();
        QTextBlock block = document->firstBlock();
        const auto [centreLeft, centreRight] = lineEnds(block);
        const qreal margin = document->documentMargin();
        QVERIFY2(std::abs((centreLeft + centreRight) / 2 - (margin + width / 2)) < 2,
                 qPrintable(QString::number(centreLeft)));
        block = block.next();
        QVERIFY(std::abs(lineEnds(block).second - (margin + width)) < 2);
        block = block.next();
        QVERIFY(std::abs(lineEnds(block).first - (margin + 100)) < 2); // 1500 twips
        block = block.next();
        QVERIFY(std::abs(lineEnds(block).second - (margin + width - 200)) < 2);
        block = block.next();
        QVERIFY(block.layout()->lineCount() > 1);
        QVERIFY(std::abs(lineEnds(block).first - (margin + 50)) < 2); // hanging first line
        const QTextLine second = block.layout()->lineAt(1);
        QVERIFY(std::abs(block.layout()->position().x() + second.x() - (margin + 100)) < 2);
    }

    // A text the panes cannot show usefully: a notice in its place, the line
    // figure of the whole, and the whole text processed as it is.
    // (A rich text too large to show is read from its file again: the core's.)
    void textsTooLargeToShowGetANotice_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("lines"); // of the raw pane's text
        QTest::newRow("more bytes than a pane shows")
            << QByteArray::fromStdString(linesOf(60000, 140)) << 60000;
        QTest::newRow("a line longer than a pane lays out")
            << QByteArray::fromStdString(linesOf(3, 40) + std::string(70000, 'L') + "\r\n") << 4;
    }
    void textsTooLargeToShowGetANotice() {
        QFETCH(QByteArray, content);
        QFETCH(int, lines);
        namespace files = tallix::files;
        const std::string bytes = content.toStdString();
        const auto notice = [&](files::PaneText which) {
            return QString::fromStdString(
                files::paneNotice(which, bytes.size(), files::longestLine(bytes)));
        };
        QVERIFY(!notice(files::PaneText::RawFile).isEmpty());
        Window w({{"Reports/big.log", bytes}});
        w.select("big.log");
        QCOMPARE(rawPane(w)->toPlainText(), notice(files::PaneText::RawFile));
        QCOMPARE(w.caption("Label12"), QString::number(lines - 1));
        w.get<QCheckBox>("Check1")->setChecked(false);
        w.click("Command2");
        QCOMPARE(processedPane(w)->toPlainText(), notice(files::PaneText::Processed));
        QCOMPARE(w.form.processedBytes(), bytes); // what Save writes
    }
};

QTEST_MAIN(PanesTest)
#include "panes_test.moc"
