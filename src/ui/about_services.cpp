#include "ui/about_services.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "app/system_info.h"
#include "ui/qt_text.h"

namespace tallix::ui {

void QtDesktop::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

bool QtDesktop::startProgram(const std::string& path) {
    return QProcess::startDetached(qtFileName(path), QStringList());
}

AboutServices systemAboutServices() {
    return {std::shared_ptr<app::SystemInfoTool>(app::systemInfoTool()),
            std::make_shared<QtDesktop>()};
}

} // namespace tallix::ui
