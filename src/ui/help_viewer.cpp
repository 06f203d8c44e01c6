#include "ui/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace tallix::ui {

namespace {

// What the viewer shows in place of a help document it did not find.
QString missingDocumentPage(const QString& name, const QString& folder) {
    return QStringLiteral("<h2>The help is not available</h2>"
                          "<p>Tallix looked for its help document <b>%1</b> in the folder</p>"
                          "<p><code>%2</code></p>"
                          "<p>and did not find it there. The help document belongs beside the "
                          "program in the Kest folder: install Tallix again, or copy <b>%1</b> "
                          "into that folder, then press Help once more.</p>"
                          "<p>Everything else in Tallix works without it.</p>")
        .arg(name.toHtmlEscaped(), folder.toHtmlEscaped());
}

} // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Tallix Help"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpText"));
    // Addresses outside the document go to the desktop's browser or mail program.
    browser_->setOpenExternalLinks(true);

    back_ = new QToolButton(this);
    back_->setObjectName(QStringLiteral("HelpBack"));
    back_->setText(QStringLiteral("Back"));
    back_->setEnabled(false);
    home_ = new QToolButton(this);
    home_->setObjectName(QStringLiteral("HelpHome"));
    home_->setText(QStringLiteral("Home"));
    home_->setEnabled(false);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(home_, &QToolButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 0);
    buttons->addWidget(back_);
    buttons->addWidget(home_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(680, 560);
}

void HelpViewer::showContents(const QString& name) {
    // The name has no folder, so it is found in whatever folder is current.
    const QFileInfo file(name);
    if (!file.isFile()) {
        browser_->clearHistory();
        browser_->setHtml(missingDocumentPage(name, QDir::toNativeSeparators(QDir::currentPath())));
        home_->setEnabled(false);
        return;
    }
    // Loaded afresh each time, from its start.
    const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
    if (browser_->source() == url)
        browser_->reload();
    else
        browser_->setSource(url);
    // Back leads no further than this start; Home comes back to it.
    browser_->clearHistory();
    home_->setEnabled(true);
}

} // namespace tallix::ui
