#pragma once
// The main window. It shows the texts the core gives and passes the user's
// actions to the core; every element carries its established name as its Qt
// object name (Command2, Label19, Option1_3, ...).

#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>

#include "analysis/heard_list.h"
#include "analysis/line_store.h"
#include "analysis/station_stats.h"
#include "files/file_facts.h"
#include "actions/save.h"
#include "ui/printer.h"
#include "ui/about_services.h"

class QCheckBox;
class QCursor;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QRadioButton;
class QTextEdit;
class QTimer;
class QToolButton;

namespace tallix::ui {

class ClickableLabel;
class FileListBox;
class AboutWindow;
class HeardStationsWindow;
class HelpViewer;
class Prompts;
class WindowRunControl;

struct Environment {
    std::string hostFolder;   // the folder of the executable, without a trailing separator
    std::string argumentText; // the whole argument text
};

class Form1 : public QWidget {
    Q_OBJECT
    friend class WindowRunControl;

public:
    Form1(Environment environment, Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up. False when the program is to end (its message was shown).
    bool Form_Load();

    const std::string& ownCall() const { return ownCall_; }
    const std::string& currentFile() const { return currentFile_; }
    float previewLineCount() const { return previewLineCount_; }
    const std::string& processedBytes() const { return processedBytes_; }
    bool running() const { return running_; }

    // How often a run lets pending events run, at most (default 20 ms); 0
    // yields after every line.
    void setYieldInterval(int milliseconds) { yieldIntervalMs_ = milliseconds; }

    // Handlers, public so that tests and the event wiring reach the same code.
    void Command2_Click();
    void Option1_Click(int index);
    void File1_Click();
    void File1_DblClick();
    void File1_PathChange();
    void Label2_Click();
    void Timer1_Timer();
    // A double click on an entry of the heard list (List1 or List2).
    void HeardList_DblClick();
    void Command3_Click();
    void Command7_Click();
    void Command8_Click();
    void List1_MouseDown(Qt::MouseButtons buttons);
    void List2_MouseDown(Qt::MouseButtons buttons);
    void menucopyheard1_Click();
    void Check2_Click();
    void cmdRename_Click();
    void Command4_Click();

    // The printer Print uses (the system's default printer unless set).
    void setPrinter(Printer& printer) { printer_ = &printer; }
    void Command6_Click();
    void Command6_MouseDown(Qt::MouseButton button);
    void Image1_Click();

    // The system-information tool and desktop the About window uses (the system's by default).
    void setAboutServices(AboutServices services) { aboutServices_ = std::move(services); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void wireEvents();
    void wireActions();
    void ShowSaveDialog();
    void wireHelpAndAbout();
    void showAbout();
    void requestHelp();
    void CheckKestDirs();
    void selectChoice(int index);
    void Preview();
    void ProcessFile();
    void showStations(std::vector<analysis::StationRecord> stations,
                      analysis::ActivitySeries activity, const std::vector<std::string>& heard);
    void Form_Unload();
    files::DateFormat dateFormat() const;
    void setCaption(const char* element, const QString& text);
    // Label5 shows `path`; Save proposes that path, as bytes, not the caption.
    void showFileToProcess(const std::string& path);

    Environment env_;
    Prompts& prompts_;

    std::string ownCall_;
    std::string currentFile_;
    std::string label5Path_; // the path Label5 shows
    bool currentFileIsRtf_ = false;
    float previewLineCount_ = 0;
    std::string rawBytes_;       // the raw pane's text as bytes
    std::string processedBytes_; // the processed pane's text as bytes
    analysis::LineStore lineStore_;
    analysis::HeardStore heardStore_;
    std::int16_t blinkPhase_ = 0;
    bool running_ = false;
    bool inPass_ = false;
    int yieldIntervalMs_ = 20;
    bool cancelRequested_ = false;
    bool closing_ = false;

    // Elements (owned by Qt's parent chain).
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    QGroupBox* frame3_ = nullptr;
    QLabel* label5_ = nullptr;
    ClickableLabel* image1_ = nullptr;
    QLabel* lblSize_ = nullptr;
    QLabel* label35_ = nullptr;
    QLabel* label12_ = nullptr;
    ClickableLabel* label19_ = nullptr;
    QLabel* label7_ = nullptr;
    QTextEdit* text1_ = nullptr;
    QTextEdit* text2_ = nullptr;
    QListWidget* list1_ = nullptr;
    QListWidget* list2_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    std::array<QRadioButton*, 4> option1_{};
    QToolButton* cmdRename_ = nullptr;
    QToolButton* command4_ = nullptr;
    QToolButton* command2_ = nullptr;
    QToolButton* command3_ = nullptr;
    QToolButton* command7_ = nullptr;
    QToolButton* command8_ = nullptr;
    QToolButton* command6_ = nullptr;
    FileListBox* file1_ = nullptr;
    QLabel* lblFileSize_ = nullptr;
    QLabel* lbldate_ = nullptr;
    ClickableLabel* label2_ = nullptr;
    QTimer* timer1_ = nullptr;
    QMenu* menucopyheard_ = nullptr;

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
    QPointer<HeardStationsWindow> heardStations_;
};

} // namespace tallix::ui
