#pragma once
// The main window. It shows the texts the core gives and passes the user's
// actions to the core; the elements come from the form form1.ui, where each
// carries its established name as its Qt object name (Command2, Label19,
// Option1_3, ...).

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "actions/save.h"
#include "analysis/figure_table.h"
#include "analysis/heard_list.h"
#include "analysis/line_store.h"
#include "analysis/station_stats.h"
#include "base/message_box.h"
#include "files/file_facts.h"
#include "files/rtf_reader.h"
#include "ui/about_services.h"
#include "ui/printer.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QRadioButton;
class QTextEdit;
class QTimer;
class QToolButton;

namespace Ui {
class Form1;
}

namespace tallix::ui {

class AboutWindow;
class ClickableLabel;
class FileListBox;
class HeardStationsWindow;
class HelpViewer;
class Prompts;

struct Environment {
    std::string hostFolder;   // the folder of the executable, without a trailing separator
    std::string argumentText; // the whole argument text
};

// What an analysis run needs of the window it runs in.
class RunWindow {
public:
    virtual ~RunWindow() = default;
    virtual bool confirm(const base::MessageBox& box) = 0;
    // The run is past the validation of `path`: the indicator shows.
    virtual void showRunStarted(const std::string& path) = 0;
    virtual void showPassStarted(std::int32_t lineCount) = 0;
    virtual void addHeard(std::string_view call) = 0;
    virtual void showProgress(std::string_view caption) = 0;
    virtual void appendProcessed(std::string_view bytes) = 0;
    virtual void showPassEnded() = 0;
    virtual bool removeTxFrames() const = 0;
    virtual bool cancelRequested() const = 0;
    // The window is closing: the run is to end where it stands.
    virtual bool abandoned() const = 0;
    // How often the run lets pending events run, at most, in milliseconds.
    virtual int yieldInterval() const = 0;
};

class Form1 : public QWidget, private RunWindow {
    Q_OBJECT

public:
    Form1(Environment environment, Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up. False when the program is to end (its message was shown).
    bool load();

    const std::string& ownCall() const { return ownCall_; }
    const std::string& processedBytes() const { return processedBytes_; }
    bool running() const { return running_; }

    // How often a run lets pending events run, at most (default 20 ms); 0
    // yields after every line.
    void setYieldInterval(int milliseconds) { yieldIntervalMs_ = milliseconds; }
    // The printer Print uses (the system's default printer unless set).
    void setPrinter(Printer& printer) { printer_ = &printer; }
    // The system-information tool and desktop the About window uses (the
    // system's by default).
    void setAboutServices(AboutServices services) { aboutServices_ = std::move(services); }

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onProcessClicked();
    void onFolderChoiceClicked(int index);
    void onFileChosen();
    void onFileDoubleClicked();
    void onFolderChanged();
    void onCallSignClicked();
    void onIndicatorTick();
    void onHeardListDoubleClicked();
    void onSaveClicked();
    void onPrintClicked();
    void onCopyClicked();
    void onCopyHeardTriggered();
    void onSortClicked();
    void onRenameClicked();
    void onDeleteClicked();
    void onHelpClicked();
    void onProductNameClicked();

private:
    // What the form cannot hold: the fonts of fractional sizes, the system's
    // colours, the pictures and the pointer.
    void completeLooks();
    void connectElements();
    void onHeardListPressed(Qt::MouseButtons buttons);
    void onHelpPressed(Qt::MouseButton button);
    void showSaveDialog();
    void showAbout();
    void requestHelp();
    void checkKestDirs();
    void selectChoice(int index);
    void showPreview();
    void showRichText(const files::RtfDocument& document);
    void processFile();
    void showStations(std::vector<analysis::StationRecord> stations,
                      analysis::ActivitySeries activity, analysis::PathTable paths,
                      const std::vector<std::string>& heard);
    void unload();
    files::DateFormat dateFormat() const;
    void setCaption(const char* element, const QString& text);
    // Every figure of a concluded run into its label.
    void showFigures(const analysis::SummaryFigures& figures);
    // Label5 shows `path`; Save proposes that path, as bytes, not the caption.
    void showFileToProcess(const std::string& path);
    // Label2 shows the call sign, cut short where it would run under Picture2.
    void showCallSign(const QString& call);

    // RunWindow
    bool confirm(const base::MessageBox& box) override;
    void showRunStarted(const std::string& path) override;
    void showPassStarted(std::int32_t lineCount) override;
    void addHeard(std::string_view call) override;
    void showProgress(std::string_view caption) override;
    void appendProcessed(std::string_view bytes) override;
    void showPassEnded() override;
    // `added`, just appended to processedBytes_, into the processed pane, or
    // the notice when the text grew too large to show.
    void showProcessed(std::string_view added);
    bool removeTxFrames() const override;
    bool cancelRequested() const override { return cancelRequested_; }
    bool abandoned() const override { return closing_; }
    int yieldInterval() const override { return yieldIntervalMs_; }

    std::unique_ptr<::Ui::Form1> m_ui;
    Environment env_;
    Prompts& prompts_;

    std::string ownCall_;
    std::string currentFile_;
    std::string label5Path_; // the path Label5 shows
    bool currentFileIsRtf_ = false;
    float previewLineCount_ = 0;
    // The raw pane's text as bytes, shared with a run under way; not held
    // (false) for a file too large to show: a run reads that file itself.
    std::shared_ptr<const std::string> rawBytes_ = std::make_shared<const std::string>();
    bool rawBytesHeld_ = true;
    std::string processedBytes_;        // the processed pane's text as bytes
    bool processedNoticeShown_ = false; // the processed pane shows a notice instead
    analysis::LineStore lineStore_;
    analysis::HeardStore heardStore_;
    std::int16_t blinkPhase_ = 0;
    bool running_ = false;
    int yieldIntervalMs_ = 20;
    bool cancelRequested_ = false;
    bool closing_ = false;

    // The elements the behaviour uses, by what they are (the form owns them).
    ClickableLabel* productName_ = nullptr;
    ClickableLabel* indicator_ = nullptr;
    ClickableLabel* callSignLabel_ = nullptr;
    QTextEdit* rawPane_ = nullptr;
    QPlainTextEdit* processedPane_ = nullptr;
    QListWidget* heardList_ = nullptr;
    QListWidget* sortedHeardList_ = nullptr;
    QCheckBox* removeTxCheck_ = nullptr;
    QCheckBox* sortCheck_ = nullptr;
    std::array<QRadioButton*, 4> folderChoices_{}; // by index; on screen 0, 3, 1, 2
    QToolButton* renameButton_ = nullptr;
    QToolButton* deleteButton_ = nullptr;
    QToolButton* processButton_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QToolButton* printButton_ = nullptr;
    QToolButton* copyButton_ = nullptr;
    QToolButton* helpButton_ = nullptr;
    FileListBox* fileList_ = nullptr;
    QLabel* fileSizeLabel_ = nullptr;
    QLabel* fileDateLabel_ = nullptr;
    QTimer* indicatorTimer_ = nullptr;
    QMenu* heardMenu_ = nullptr;
    // The labels of analysis::FigureTable, row by row, found once the form stands.
    std::array<QLabel*, analysis::FigureTable.size()> figureLabels_{};

    actions::SaveState saveState_;
    Printer* printer_ = nullptr;
    std::unique_ptr<Printer> systemPrinter_;

    // At most one About window and one help viewer.
    AboutServices aboutServices_ = systemAboutServices();
    QPointer<AboutWindow> about_;
    QPointer<HelpViewer> helpViewer_;

    // The station figures of the last concluded run: the heard list's tips
    // and the "Heard stations" window.
    std::vector<analysis::StationRecord> stations_;
    analysis::ActivitySeries activity_;
    analysis::PathTable paths_; // made into records when the Heard stations window shows them
    QPointer<HeardStationsWindow> heardStations_;
};

} // namespace tallix::ui
