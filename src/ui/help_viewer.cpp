#include "ui/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tallix::ui {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Tallix Help"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    // Addresses outside the document go to the desktop's browser or mail program.
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(680, 560);
}

void HelpViewer::showContents(const QString& name) {
    // The name has no folder, so it is found in whatever folder is current.
    const QFileInfo file(name);
    if (!file.isFile()) {
        browser_->setPlainText(QStringLiteral("The help file %1 was not found in %2.")
                                   .arg(name, QDir::toNativeSeparators(QDir::currentPath())));
        return;
    }
    // Loaded afresh each time, from its start.
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (browser_->source() == url)
        browser_->reload();
    else
        browser_->setSource(url);
}

} // namespace tallix::ui
