// The file actions of the main window: Save, Print, Copy, the heard list's
// popup menu and Sort, Rename and Delete.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

#include <functional>
#include <vector>

#include "actions/print_copy.h"
#include "actions/rename_delete.h"
#include "actions/save.h"
#include "analysis/heard_list.h"
#include "text/basic_text.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/prompts.h"
#include "ui/qt_printer.h"
#include "ui/qt_text.h"

namespace tallix::ui {

namespace {

void putOnClipboard(const std::string& bytes) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(fromBytes(bytes));
}

} // namespace

void Form1::onSaveClicked() {
    saveState_.savePath = actions::proposedSavePath(label5Path_, currentFileIsRtf_);
    saveState_.splitFilePath();
    actions::setCurrentFolder(fileList_->path());
    prompts_.message(actions::saveNameBox(displayPath(saveState_.saveName)));
    showSaveDialog();
    if (!saveState_.saveAccepted) {
        actions::setCurrentFolder(env_.hostFolder);
        return;
    }
    if (const int error = actions::writeProcessedText(saveState_.savePath, processedBytes_);
        error != 0)
        prompts_.message(actions::saveErrorMessage(displayPath(currentFile_), error));
    actions::setCurrentFolder(env_.hostFolder);
    fileList_->refresh();
}

void Form1::showSaveDialog() {
    SaveDialogRequest request;
    request.title = actions::SaveDialogTitle;
    for (const auto& filter : actions::SaveDialogFilters)
        request.filters.push_back({filter.description, filter.pattern});
    request.folder = actions::currentFolder();
    request.initialName = saveState_.saveName;
    const std::optional<std::string> chosen = prompts_.saveFile(request);
    if (!chosen) {
        saveState_.saveAccepted = false;
        return;
    }
    saveState_.saveAccepted = true;
    saveState_.savePath = std::string(text::trimSpaces(*chosen));
    if (actions::fileExists(saveState_.savePath) &&
        prompts_.message(actions::overwriteQuestion()) != Answer::Yes) {
        saveState_.saveAccepted = false;
        return;
    }
    saveState_.splitFilePath();
}

void Form1::onPrintClicked() {
    if (prompts_.message(actions::printQuestion()) != Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!printer_) {
        systemPrinter_ = std::make_unique<QtPrinter>();
        printer_ = systemPrinter_.get();
    }
    const PrintResult result = printer_->print(toDisplayText(processedBytes_));
    QApplication::processEvents();
    QApplication::restoreOverrideCursor();
    if (result == PrintResult::NoPrinter)
        prompts_.message(actions::noPrinterMessage());
    else if (result == PrintResult::Failed)
        prompts_.message(actions::printFailedMessage());
}

void Form1::onCopyClicked() {
    if (processedBytes_.empty())
        return;
    putOnClipboard(processedBytes_);
    prompts_.message(actions::processedCopiedMessage());
}

void Form1::onHeardListPressed(Qt::MouseButtons buttons) {
    if (buttons == Qt::RightButton)
        heardMenu_->popup(QCursor::pos());
}

void Form1::onCopyHeardTriggered() {
    if (heardList_->count() == 0) {
        prompts_.message(actions::emptyHeardListMessage());
        return;
    }
    // Always the order of first hearing, whichever list is on view.
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(heardList_->count()));
    for (int i = 0; i < heardList_->count(); ++i)
        entries.push_back(toBytes(heardList_->item(i)->text()));
    putOnClipboard(analysis::heardClipboardText(entries));
}

void Form1::onSortClicked() {
    const bool sorted = sortCheck_->isChecked();
    sortedHeardList_->setVisible(sorted);
    heardList_->setVisible(!sorted);
}

void Form1::onRenameClicked() {
    const std::string name = fileList_->selectedName();
    if (name.empty())
        return;
    // The name is shown, and the answer taken, as a path is shown.
    const std::optional<std::string> target = actions::renameTarget(
        name, toPath(fromDesktop(prompts_.input(actions::renameInputBox(displayPath(name))))));
    if (!target)
        return;
    if (const int error = actions::renameFile(fileList_->path(), name, *target); error != 0) {
        prompts_.message(actions::renameErrorMessage(error));
        return;
    }
    fileList_->refresh();
}

void Form1::onDeleteClicked() {
    const std::string name = fileList_->selectedName();
    if (name.empty()) {
        prompts_.message(actions::noFileToDeleteMessage());
        return;
    }
    if (prompts_.message(actions::deleteQuestion(displayPath(name))) != Answer::Yes)
        return;
    // A file that cannot be deleted is not reported; the list shows it still.
    actions::deleteFile(fileList_->path(), name);
    fileList_->refresh();
    deleteButton_->setEnabled(false);
}

} // namespace tallix::ui
