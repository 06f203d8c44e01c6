#include "ui/about_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include "app/help_about.h"
#include "app/system_info.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"
#include "ui_about_window.h"

namespace tallix::ui {

AboutWindow::AboutWindow(Prompts& prompts, AboutServices services,
                         std::function<void()> helpRequest, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<::Ui::AboutWindow>()), prompts_(prompts),
      services_(std::move(services)), helpRequest_(std::move(helpRequest)) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // What a form cannot hold: pictures drawn at their size, fractional
    // point sizes, the system's highlight colour and the pointing hand.
    m_ui->Picture1->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(32, 32));
    m_ui->Image1->setPixmap(
        QIcon(QStringLiteral(":/pictures/product-name-about.svg")).pixmap(139, 35));
    m_ui->Image2->setPixmap(QIcon(QStringLiteral(":/pictures/donate.svg")).pixmap(62, 31));
    // The white copy of "For Kest" lies one pixel right of and above the
    // coloured one and behind it: the coloured words read on the grey, with a
    // white edge (white over the grey would all but vanish).
    for (QLabel* forKest : {m_ui->Label2_0, m_ui->Label2_1})
        forKest->setFont(sansFont(13.5, true, true));
    m_ui->Label2_0->raise();
    const QColor highlight = palette().color(QPalette::Highlight);
    for (QLabel* label : {m_ui->lblVersion, m_ui->lblDescription})
        setTextColour(label, highlight);
    m_ui->Label4->setText(QString::fromLatin1(app::MakerEmail));
    m_ui->Label7->setText(QString::fromLatin1(app::MakerWebAddress));
    for (QWidget* link : {static_cast<QWidget*>(m_ui->Label4), static_cast<QWidget*>(m_ui->Label7),
                          static_cast<QWidget*>(m_ui->Image2)})
        link->setCursor(pointingHandCursor());
    sizeLabelsToText(this);

    connect(m_ui->cmdOK, &QPushButton::clicked, this, &AboutWindow::onOkClicked);
    connect(m_ui->cmdSysInfo, &QPushButton::clicked, this, &AboutWindow::onSystemInfoClicked);
    connect(m_ui->Command1, &QPushButton::clicked, this, &AboutWindow::onMoreClicked);
    connect(m_ui->Image2, &ClickableLabel::clicked, this, &AboutWindow::onDonateClicked);
    connect(m_ui->Label4, &ClickableLabel::clicked, this, &AboutWindow::onEmailClicked);
    connect(m_ui->Label7, &ClickableLabel::clicked, this, &AboutWindow::onWebAddressClicked);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &AboutWindow::onMoreClicked);
    // Enter and Esc press OK (the dialog's default and cancel), and so does the
    // close button: each ends the dialog, which then discards itself, so the
    // next opening loads a new one.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);

    m_ui->cmdOK->setFocus();
    load();
    // Centred on the screen each time it is loaded.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::load() {
    setWindowTitle(fromBytes(app::aboutTitle()));
    m_ui->lblVersion->setText(
        fromBytes(app::versionCaption(app::VersionMajor, app::VersionMinor, app::VersionRevision)));
}

void AboutWindow::onOkClicked() {
    close();
}

void AboutWindow::onSystemInfoClicked() {
    std::optional<std::string> path;
    if (services_.systemInfoTool)
        path = services_.systemInfoTool->path();
    if (path && services_.desktop && services_.desktop->startProgram(*path))
        return;
    prompts_.message(app::sysInfoUnavailableMessage());
}

void AboutWindow::onMoreClicked() {
    if (helpRequest_)
        helpRequest_();
}

void AboutWindow::onDonateClicked() {
    if (services_.desktop)
        services_.desktop->openUrl(QUrl(QString::fromLatin1(app::MakerDonationPage)));
}

void AboutWindow::onEmailClicked() {
    if (services_.desktop)
        services_.desktop->openUrl(
            QUrl(QStringLiteral("mailto:") + QString::fromLatin1(app::MakerEmail)));
}

void AboutWindow::onWebAddressClicked() {
    // The address as the label shows it at the time of the click.
    if (services_.desktop)
        services_.desktop->openUrl(QUrl(m_ui->Label7->text()));
}

} // namespace tallix::ui
