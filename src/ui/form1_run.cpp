// The Process button and the window's side of an analysis run: the indicator,
// the progress captions, Cancel, and the figures when the run concludes.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "analysis/intake.h"
#include "analysis/run.h"
#include "app/host_folders.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace tallix::ui {

namespace {

// Appends `bytes` at the end of `pane`, never rebuilding it; the pane shows
// "\n" for CR LF. Laying out a long text takes the pane a while, so it goes
// in pieces with pending events run between them: a click on Cancel or
// closing the window is taken at once. Once `stop` holds the rest is left out.
void appendToPane(QTextEdit* pane, std::string_view bytes, const bool& stop) {
    constexpr std::size_t PieceBytes = 128 * 1024;
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
        end.insertText(toDisplayText(bytes.substr(0, cut)));
        bytes.remove_prefix(cut);
        if (!bytes.empty())
            QApplication::processEvents();
    }
}

} // namespace

// Lets the window take part in a run. Pending events run at most every
// yield interval, not after every line: often enough to repaint and take a
// Cancel click, seldom enough to keep the run fast. Captions and processed
// lines wait in buffers until the next yield.
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
        pendingText_.append(line);
        pendingText_.append("\r\n");
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
        if (!pendingText_.empty()) {
            window_.appendProcessed(pendingText_);
            pendingText_.clear();
        }
    }
    void restorePointer() {
        if (busy_) {
            QApplication::restoreOverrideCursor();
            busy_ = false;
        }
    }

private:
    bool due() const { return clock_.elapsed() >= lastYield_ + window_.yieldInterval(); }
    void flushAndYield() {
        flush();
        QApplication::processEvents();
        lastYield_ = clock_.elapsed();
    }

    RunWindow& window_;
    QElapsedTimer clock_;
    qint64 lastYield_ = 0;
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
    rawPane_->moveCursor(QTextCursor::Start);
    heardList_->clear();
    sortedHeardList_->clear();
    for (QToolButton* b : {saveButton_, printButton_, copyButton_})
        b->setEnabled(true);
    processButton_->setText(QStringLiteral("Cancel"));
    cancelRequested_ = false;
    processedBytes_.clear();
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
    appendToPane(processedPane_, bytes, closing_);
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
    // previews in the pane but does not change what this run reads.
    input.rawPane = [raw = rawBytes_, count = previewLineCount_] {
        return analysis::RawPane{raw, count};
    };

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
            processedPane_->clear();
            appendToPane(processedPane_, out.processedText, closing_);
        }
        processedBytes_ = out.processedText;
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
