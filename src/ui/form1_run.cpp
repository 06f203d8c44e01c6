// The Process button and the window's side of an analysis run: the indicator,
// the progress captions, Cancel, and the figures when the run concludes.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

#include "analysis/intake.h"
#include "analysis/run.h"
#include "app/host_folders.h"
#include "files/raw_text.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace tallix::ui {

namespace {

// Appends `bytes` at the end of `pane`, never rebuilding it; the pane shows
// "\n" for CR LF. A long text goes in pieces with pending events run between
// them: a click on Cancel or closing the window is taken at once. Once `stop`
// holds the rest is left out.
void appendToPane(QPlainTextEdit* pane, std::string_view bytes, const bool& stop) {
    constexpr std::size_t PieceBytes = 256 * 1024;
    QTextCursor end(pane->document());
    while (!bytes.empty() && !stop) {
        std::size_t cut = bytes.size();
        if (cut > PieceBytes) {
            const std::size_t lineEnd = bytes.rfind('\n', PieceBytes - 1);
            cut = lineEnd == std::string_view::npos ? PieceBytes : lineEnd + 1;
            if (bytes[cut - 1] == '\r' && bytes[cut] == '\n')
                ++cut; // a CR LF stays one line end
        }
        end.movePosition(QTextCursor::End);
        end.insertText(toPaneText(bytes.substr(0, cut)));
        bytes.remove_prefix(cut);
        if (!bytes.empty())
            QApplication::processEvents();
    }
}

} // namespace

// Lets the window take part in a run. Pending events run about every yield
// interval, not after every line: often enough to repaint and take a Cancel
// click, seldom enough to keep the run fast. Captions and processed lines
// wait in buffers until the next yield. What counts is the time the event
// loop waits between two turns, and putting the buffered lines into the
// processed pane is part of that wait: the next turn comes early enough to
// leave room for it, and the buffer never grows past what the pane takes in
// quickly.
class WindowRunControl : public analysis::RunControl {
public:
    explicit WindowRunControl(RunWindow& window) : window_(window) { clock_.start(); }

    bool confirmUnrecognised(const app::MessageBox& box) override { return window_.confirm(box); }
    void intakeStarted(std::string_view path) override {
        window_.showRunStarted(std::string(path));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    void yield() override { flushAndYield(); }
    void loading() override {
        if (due())
            flushAndYield();
    }
    void preprocessLine(std::int32_t, std::string_view caption) override {
        if (due()) {
            caption_.assign(caption);
            flushAndYield();
        } else {
            lastCaption_.assign(caption);
        }
    }
    void passStarted(std::int32_t lineCount) override { window_.showPassStarted(lineCount); }
    void heardAdded(std::string_view call) override { window_.addHeard(call); }
    void processedLineAppended(std::string_view line) override {
        if (line.size() >= PendingBytes) {
            // A long line goes on as it is, not copied into the buffer first.
            flushText();
            window_.appendProcessed(line);
            pendingText_.assign("\r\n");
            return;
        }
        pendingText_.append(line);
        pendingText_.append("\r\n");
        if (pendingText_.size() >= PendingBytes)
            flushText();
    }
    void passLine(std::int32_t, std::string_view caption) override {
        if (due()) {
            caption_.assign(caption);
            flushAndYield();
        } else {
            lastCaption_.assign(caption);
        }
    }
    bool removeTxFrames() override { return window_.removeTxFrames(); }
    bool cancelRequested() override { return window_.cancelRequested(); }
    bool abandoned() override { return window_.abandoned(); }
    void passEnded() override {
        flushAndYield();
        restorePointer();
        window_.showPassEnded();
    }

    // The last line's caption stays in the indicator; the processed pane gets
    // what is still waiting.
    void flush() {
        if (!lastCaption_.empty()) {
            window_.showProgress(lastCaption_);
            lastCaption_.clear();
        }
        if (!caption_.empty()) {
            window_.showProgress(caption_);
            caption_.clear();
        }
        flushText();
    }
    void restorePointer() {
        if (busy_) {
            QApplication::restoreOverrideCursor();
            busy_ = false;
        }
    }

private:
    static constexpr std::size_t PendingBytes = 64 * 1024;

    bool due() const {
        return clock_.elapsed() - lastTurn_ + flushCost_ >= window_.yieldInterval();
    }
    // The waiting lines into the pane, as soon as there are enough of them to
    // take a while to lay out; what it took is left room for before the next turn.
    void flushText() {
        if (pendingText_.empty())
            return;
        const qint64 start = clock_.elapsed();
        window_.appendProcessed(pendingText_);
        pendingText_.clear();
        flushCost_ = clock_.elapsed() - start;
    }
    void flushAndYield() {
        flush();
        QApplication::processEvents();
        lastTurn_ = clock_.elapsed();
    }

    RunWindow& window_;
    QElapsedTimer clock_;
    qint64 lastTurn_ = 0;  // when the event loop last had its turn
    qint64 flushCost_ = 0; // what the last flush took, in milliseconds
    std::string caption_;
    std::string lastCaption_;
    std::string pendingText_;
    bool busy_ = false;
};

bool Form1::confirm(const app::MessageBox& box) {
    return prompts_.message(box) == Answer::Yes;
}

void Form1::showRunStarted(const std::string& path) {
    indicator_->show();
    showFileToProcess(path);
    indicatorTimer_->start();
}

void Form1::showPassStarted(std::int32_t lineCount) {
    setCaption("Label12", QString::number(lineCount));
    processedPane_->clear();
    processedNoticeShown_ = false;
    rawPane_->moveCursor(QTextCursor::Start);
    // The processed text is at most as long as the raw text (and a line end):
    // room for it at once, rather than a copy each time it outgrows its room.
    // The processed text of a file too large to show is not shown either.
    const std::size_t rawSize = std::max(rawBytes_->size(), lineStore_.text().bytes.size());
    std::string().swap(processedBytes_);
    processedBytes_.reserve(rawSize + 2);
    if (const std::string notice = files::paneNotice(files::PaneText::Processed, rawSize, 0);
        !notice.empty()) {
        processedNoticeShown_ = true;
        processedPane_->setPlainText(fromDesktop(notice));
    }
    heardList_->clear();
    sortedHeardList_->clear();
    for (QToolButton* b : {saveButton_, printButton_, copyButton_})
        b->setEnabled(true);
    processButton_->setText(QStringLiteral("Cancel"));
    cancelRequested_ = false;
}

void Form1::addHeard(std::string_view call) {
    const QString entry = fromBytes(call);
    heardList_->addItem(entry);
    // List2 keeps its entries in the heard list's sorted order.
    int lo = 0, hi = sortedHeardList_->count();
    const std::string key(call);
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (analysis::heardLess(
                key, sortedHeardList_->item(mid)->data(Qt::UserRole).toByteArray().toStdString()))
            hi = mid;
        else
            lo = mid + 1;
    }
    auto* item = new QListWidgetItem(entry);
    item->setData(Qt::UserRole, QByteArray::fromStdString(key));
    sortedHeardList_->insertItem(lo, item);
}

void Form1::showProgress(std::string_view caption) {
    indicator_->setText(fromBytes(caption));
}

void Form1::appendProcessed(std::string_view bytes) {
    processedBytes_ += bytes;
    showProcessed(bytes);
}

void Form1::showProcessed(std::string_view added) {
    if (processedNoticeShown_)
        return;
    // The longest line is looked for only in a text small enough to show.
    const std::size_t size = processedBytes_.size();
    const std::string notice =
        files::paneNotice(files::PaneText::Processed, size,
                          size > files::LargestPaneText ? 0 : files::longestLine(added));
    if (notice.empty()) {
        appendToPane(processedPane_, added, closing_);
        return;
    }
    processedNoticeShown_ = true;
    processedPane_->setPlainText(fromDesktop(notice));
}

void Form1::showPassEnded() {
    processButton_->setText(QStringLiteral("Process"));
}

bool Form1::removeTxFrames() const {
    return removeTxCheck_->isChecked();
}

void Form1::onProcessClicked() {
    if (processButton_->text() == QStringLiteral("Process")) {
        if (running_)
            return; // validation, loading and pre-processing of a run under way
        const std::string name = fileList_->selectedName();
        if (name.empty()) {
            prompts_.message({"Please select a file first to process", "No file selected",
                              app::Buttons::Ok, app::Icon::Information});
            return;
        }
        currentFile_ = app::joinPath(fileList_->path(), name);
        processFile();
    } else {
        cancelRequested_ = true;
    }
}

void Form1::processFile() {
    running_ = true;
    cancelRequested_ = false;
    WindowRunControl control(*this);

    analysis::RunInput input;
    input.currentFile = currentFile_;
    input.isRtf = currentFileIsRtf_;
    input.ownCall = ownCall_;
    input.dateFormat = dateFormat();
    // The run keeps its own copy of the raw pane: a file selected meanwhile
    // previews in the pane but does not change what this run reads. A file
    // too large to hold is read by the run itself, once. The processed text
    // is kept here, in processedBytes_, not a second time in the run.
    const std::shared_ptr<const std::string> runPane = rawBytes_;
    if (rawBytesHeld_)
        input.rawPane = [&runPane, count = previewLineCount_] {
            return analysis::RawPane{*runPane, count};
        };
    input.keepProcessedText = false;

    const analysis::RunOutcome out = analysis::runAnalysis(input, lineStore_, heardStore_, control);
    control.flush();
    control.restorePointer();
    currentFile_ = out.currentFile;

    switch (out.end) {
    case analysis::RunOutcome::End::Declined:
        break;
    case analysis::RunOutcome::End::Abandoned:
        indicator_->hide();
        indicatorTimer_->stop();
        break;
    case analysis::RunOutcome::End::Failed:
        saveButton_->setEnabled(false);
        indicator_->hide();
        indicatorTimer_->stop();
        prompts_.message(analysis::failureMessage(out.failure->code, displayPath(out.currentFile)));
        break;
    case analysis::RunOutcome::End::Concluded:
        if (out.processedIsRawCopy) {
            processedBytes_.assign(out.rawPaneText.bytes);
            processedPane_->clear();
            processedNoticeShown_ = false;
            showProcessed(processedBytes_);
        }
        showFigures(out.figures);
        showStations(out.stations, out.activity, out.paths, out.heard);
        indicator_->hide();
        indicatorTimer_->stop();
        if (out.bringWindowToFront) {
            raise();
            activateWindow();
        }
        break;
    }
    running_ = false;
    if (closing_)
        unload();
}

} // namespace tallix::ui
