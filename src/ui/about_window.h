#pragma once
// The About window: the program's name, version and description, the maker's
// links, the system-information tool and a way to the help.

#include <QDialog>

#include <functional>
#include <memory>

#include "ui/about_services.h"

namespace Ui {
class AboutWindow;
}

namespace tallix::ui {

class Prompts;

class AboutWindow : public QDialog {
    Q_OBJECT

public:
    // `helpRequest` opens the help, as the main window's Help button does.
    AboutWindow(Prompts& prompts, AboutServices services, std::function<void()> helpRequest,
                QWidget* parent = nullptr);
    ~AboutWindow() override;

private slots:
    void onOkClicked();
    void onSystemInfoClicked();
    void onMoreClicked();
    void onDonateClicked();
    void onEmailClicked();
    void onWebAddressClicked();

private:
    void load();

    std::unique_ptr<::Ui::AboutWindow> m_ui;
    Prompts& prompts_;
    AboutServices services_;
    std::function<void()> helpRequest_;
};

} // namespace tallix::ui
