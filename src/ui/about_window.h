#pragma once
// The About window: the program's name, version and description, the maker's
// links, the system-information tool and a way to the help.

#include <QDialog>

#include <functional>

#include "ui/about_services.h"

class QLabel;
class QPushButton;

namespace tallix::ui {

class ClickableLabel;
class Prompts;

class FrmAbout : public QDialog {
    Q_OBJECT

public:
    // `helpRequest` opens the help, as the main window's Help button does.
    FrmAbout(Prompts& prompts, AboutServices services, std::function<void()> helpRequest,
             QWidget* parent = nullptr);

    // Handlers, public so that tests and the event wiring reach the same code.
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Command1_Click();
    void Image2_Click();
    void Label4_Click();
    void Label7_Click();

private:
    void buildLayout();
    void wireEvents();
    void Form_Load();
    void StartSysInfo();

    Prompts& prompts_;
    AboutServices services_;
    std::function<void()> helpRequest_;

    QLabel* lblVersion_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
    ClickableLabel* label4_ = nullptr;
    ClickableLabel* label7_ = nullptr;
    ClickableLabel* image2_ = nullptr;
};

} // namespace tallix::ui
