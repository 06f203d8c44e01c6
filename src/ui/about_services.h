#pragma once
// What the About window hands to the outside world: where the
// system-information tool is, and the desktop that opens addresses with
// its default handler and starts programs. The program uses the system's;
// a test passes its own and records what would have been opened.

#include <memory>
#include <string>

class QUrl;

namespace tallix::app {
class SystemInfoTool;
}

namespace tallix::ui {

class Desktop {
public:
    virtual ~Desktop() = default;
    // Opens a web or "mailto:" address with the desktop's default handler;
    // what the handler makes of it is not examined.
    virtual void openUrl(const QUrl& url) = 0;
    // Starts a program as a separate process, without a shell and without
    // waiting for it. False when it cannot be started.
    virtual bool startProgram(const std::string& path) = 0;
};

class QtDesktop : public Desktop {
public:
    void openUrl(const QUrl& url) override;
    bool startProgram(const std::string& path) override;
};

struct AboutServices {
    std::shared_ptr<app::SystemInfoTool> systemInfoTool;
    std::shared_ptr<Desktop> desktop;
};

// The system's tool and desktop.
AboutServices systemAboutServices();

} // namespace tallix::ui
