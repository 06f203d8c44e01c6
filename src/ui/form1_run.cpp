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
    explicit WindowRunControl(Form1& form) : form_(form) { clock_.start(); }

    bool confirmUnrecognised(const app::MessageBox& box) override {
        return form_.prompts_.message(box) == Answer::Yes;
    }
    void intakeStarted(std::string_view path) override {
        form_.label19_->show();
        form_.showFileToProcess(std::string(path));
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
        form_.timer1_->start();
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
    void passStarted(std::int32_t lineCount) override {
        form_.setCaption("Label12", QString::number(lineCount));
        form_.text2_->clear();
        form_.text1_->moveCursor(QTextCursor::Start);
        form_.list1_->clear();
        form_.list2_->clear();
        for (QToolButton* b : {form_.command3_, form_.command7_, form_.command8_})
            b->setEnabled(true);
        form_.command2_->setText(QStringLiteral("Cancel"));
        form_.cancelRequested_ = false;
        form_.inPass_ = true;
        form_.processedBytes_.clear();
    }
    void heardAdded(std::string_view call) override {
        const QString entry = fromBytes(call);
        form_.list1_->addItem(entry);
        // List2 keeps its entries in the heard list's sorted order.
        int lo = 0, hi = form_.list2_->count();
        const std::string key(call);
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (analysis::heardLess(key, form_.list2_->item(mid)->data(Qt::UserRole).toByteArray().toStdString()))
                hi = mid;
            else
                lo = mid + 1;
        }
        auto* item = new QListWidgetItem(entry);
        item->setData(Qt::UserRole, QByteArray::fromStdString(key));
        form_.list2_->insertItem(lo, item);
    }
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
    bool removeTxFrames() override { return form_.check1_->isChecked(); }
    bool cancelRequested() override { return form_.cancelRequested_; }
    bool abandoned() override { return form_.closing_; }
    void passEnded() override {
        flushAndYield();
        form_.inPass_ = false;
        restorePointer();
        form_.command2_->setText(QStringLiteral("Process"));
    }

    // The last line's caption stays in the indicator; the processed pane gets
    // what is still waiting.
    void flush() {
        if (!lastCaption_.empty()) {
            form_.label19_->setText(fromBytes(lastCaption_));
            lastCaption_.clear();
        }
        if (!caption_.empty()) {
            form_.label19_->setText(fromBytes(caption_));
            caption_.clear();
        }
        if (!pendingText_.empty()) {
            form_.processedBytes_ += pendingText_;
            appendToPane(form_.text2_, pendingText_, form_.closing_);
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
    bool due() const { return clock_.elapsed() >= lastYield_ + form_.yieldIntervalMs_; }
    void flushAndYield() {
        flush();
        QApplication::processEvents();
        lastYield_ = clock_.elapsed();
    }

    Form1& form_;
    QElapsedTimer clock_;
    qint64 lastYield_ = 0;
    std::string caption_;
    std::string lastCaption_;
    std::string pendingText_;
    bool busy_ = false;
};

void Form1::Command2_Click() {
    if (command2_->text() == QStringLiteral("Process")) {
        if (running_)
            return; // validation, loading and pre-processing of a run under way
        const std::string name = file1_->selectedName();
        if (name.empty()) {
            prompts_.message({"Please select a file first to process", "No file selected",
                              app::Buttons::Ok, app::Icon::Information});
            return;
        }
        currentFile_ = app::joinPath(file1_->path(), name);
        ProcessFile();
    } else {
        cancelRequested_ = true;
    }
}

void Form1::ProcessFile() {
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
        label19_->hide();
        timer1_->stop();
        break;
    case analysis::RunOutcome::End::Failed:
        command3_->setEnabled(false);
        label19_->hide();
        timer1_->stop();
        prompts_.message(analysis::failureMessage(out.failure->code, displayPath(out.currentFile)));
        break;
    case analysis::RunOutcome::End::Concluded:
        if (out.processedIsRawCopy) {
            text2_->clear();
            appendToPane(text2_, out.processedText, closing_);
        }
        processedBytes_ = out.processedText;
        showFigures(out.figures);
        showStations(out.stations, out.activity, out.heard);
        label19_->hide();
        timer1_->stop();
        if (out.bringWindowToFront) {
            raise();
            activateWindow();
        }
        break;
    }
    running_ = false;
    if (closing_)
        Form_Unload();
}

} // namespace tallix::ui
