// The two panes, on the offscreen platform and under a real X server, where
// painting and layout take their real time.

#include <algorithm>

#include "demo/demo_logs.h"
#include "files/raw_text.h"
#include "files/rtf_reader.h"
#include "text/basic_text.h"
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
            QVERIFY(pane->verticalScrollBar()->maximum() > 0); // the wrapped lines are many
        }
    }

    // A rich text shows as its text, its paragraphs' alignment and indents
    // kept: a centred paragraph stands in the middle of the pane's width, an
    // indented one its indent from the left.
    void richTextKeepsAlignmentAndIndents() {
        Window w({{"Reports/report.rtf",
                   "{\\rtf1\\ansi\\qc Centred\\par\\pard\\li1500 Indented\\par}"}});
        w.select("report.rtf");
        QCOMPARE(rawPane(w)->toPlainText(), QStringLiteral("Centred\nIndented\n"));
        QTextDocument* document = rawPane(w)->document();
        const qreal margin = document->documentMargin();
        const qreal width = rawPane(w)->viewport()->width() - 2 * margin;
        const auto [left, right] = lineEnds(document->firstBlock());
        QVERIFY2(std::abs((left + right) / 2 - (margin + width / 2)) < 2,
                 qPrintable(QString::number(left)));
        QVERIFY(std::abs(lineEnds(document->firstBlock().next()).first - (margin + 100)) < 2);
    }

    // A text the panes cannot show usefully: a notice in its place, exact
    // figures, and the whole text saved as it is.
    void textsTooLargeToShowGetANotice_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("lines"); // of the raw pane's text
        const std::string big = linesOf(60000, 140);
        QTest::newRow("more bytes than a pane shows")
            << "big.log" << QByteArray::fromStdString(big) << 60000;
        QTest::newRow("a line longer than a pane lays out")
            << "big.log"
            << QByteArray::fromStdString(linesOf(3, 40) + std::string(70000, 'L') + "\r\n") << 4;
        // A ".rtf" name: the pane's text goes through the temporary file.
        std::string rich = "{\\rtf1\\ansi ";
        for (std::size_t at = 0, end; (end = big.find("\r\n", at)) != std::string::npos;
             at = end + 2)
            rich.append(big, at, end - at).append("\\par\r\n");
        QTest::newRow("rich text, more bytes than a pane shows")
            << "big.rtf" << QByteArray::fromStdString(rich + "}") << 60000;
    }
    void textsTooLargeToShowGetANotice() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, lines);
        namespace files = tallix::files;
        const std::string bytes = content.toStdString();
        const bool rich = files::looksLikeRtf(bytes);
        const std::string pane = rich ? files::readRtf(bytes).plainText() : bytes;
        const auto notice = [&](files::PaneText which) {
            return QString::fromStdString(
                files::paneNotice(which, pane.size(), files::longestLine(pane)));
        };
        QVERIFY(!notice(files::PaneText::RawFile).isEmpty());
        Window w({{"Reports/" + name.toStdString(), bytes}});
        QTemporaryDir work; // where the temporary file of a ".rtf" name goes
        const QString before = QDir::currentPath();
        QDir::setCurrent(work.path());
        w.select(name);
        QCOMPARE(rawPane(w)->toPlainText(), notice(files::PaneText::RawFile));
        QCOMPARE(w.caption("Label12"), QString::number(lines - 1));
        w.get<QCheckBox>("Check1")->setChecked(false);
        w.click("Command2");
        QDir::setCurrent(before);
        QCOMPARE(processedPane(w)->toPlainText(), notice(files::PaneText::Processed));
        // Through the temporary file, the pane's text gains a CR LF: a last,
        // empty line.
        const bool throughTemp = name.endsWith(".rtf");
        QCOMPARE(w.figure(&F::lineCount), QString::number(lines + (throughTemp ? 1 : 0)));
        QCOMPARE(w.figure(&F::totalBytesProcessed),
                 "Total Bytes Processed =" + QString::fromStdString(tallix::text::singleText(
                                                 static_cast<float>(pane.size()))));
        QCOMPARE(w.form.processedBytes(), pane);
        if (throughTemp)
            QCOMPARE(readBytes(fs::path(work.filePath("rtftemp.tmp").toStdString())),
                     pane + "\r\n");
        w.prompts.keepProposal = true;
        w.click("Command3");
        QCOMPARE(readBytes(w.reports / (throughTemp ? "big.txt" : "big.log")), pane);
    }
};

QTEST_MAIN(PanesTest)
#include "panes_test.moc"
