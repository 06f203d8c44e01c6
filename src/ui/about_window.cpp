#include "ui/about_window.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QUrl>

#include "app/help_about.h"
#include "app/system_info.h"
#include "ui/clickable_label.h"
#include "ui/form1.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

namespace tallix::ui {

namespace {

const QColor LinkBlue(0, 0, 255);
const QColor ForKestBlue(128, 128, 255);
const QColor EtchGrey(128, 128, 128);

QFont forKestFont() {
    return sansFont(13.5, true, true);
}

QLabel* autoLabel(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

ClickableLabel* linkLabel(QWidget* parent, const char* name, QRect r, const QString& text) {
    auto* l = place(new ClickableLabel(text, parent), name, r.x(), r.y(), r.width(), r.height());
    setTextColour(l, LinkBlue);
    l->setCursor(pointingHandCursor());
    return l;
}

// A line of the etched separator: a strip of one colour.
void lineStrip(QWidget* parent, const char* name, QRect r, const QColor& colour) {
    auto* line = place(new QWidget(parent), name, r.x(), r.y(), r.width(), r.height());
    QPalette p = line->palette();
    p.setColor(QPalette::Window, colour);
    line->setPalette(p);
    line->setAutoFillBackground(true);
}

} // namespace

FrmAbout::FrmAbout(Prompts& prompts, AboutServices services, std::function<void()> helpRequest,
                   QWidget* parent)
    : QDialog(parent), prompts_(prompts), services_(std::move(services)),
      helpRequest_(std::move(helpRequest)) {
    buildLayout();
    wireEvents();
    Form_Load();
    // Centred on the screen each time it is loaded.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FrmAbout::buildLayout() {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(386, 303);
    setFont(windowFont());

    auto* picture1 = place(new QLabel(this), "Picture1", 16, 8, 36, 36);
    picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture1->setLineWidth(2);
    picture1->setAlignment(Qt::AlignCenter);
    picture1->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(32, 32));
    picture1->setFocusPolicy(Qt::TabFocus);

    auto* image1 = place(new QLabel(this), "Image1", 72, 8, 139, 35);
    image1->setPixmap(QIcon(QStringLiteral(":/pictures/product-name-about.svg")).pixmap(139, 35));

    // The white copy lies one pixel right of and above the coloured one and
    // is drawn over it, so the coloured words show as an edge.
    for (const auto& [name, x, y, colour] : {std::tuple{"Label2_0", 216, 24, ForKestBlue},
                                             std::tuple{"Label2_1", 217, 23, QColor(Qt::white)}}) {
        auto* l = place(new QLabel(QStringLiteral("For Kest"), this), name, x, y, 97, 25);
        l->setFont(forKestFont());
        setTextColour(l, colour);
    }

    const QColor highlight = palette().color(QPalette::Highlight);
    lblVersion_ = place(new QLabel(QStringLiteral("Version"), this), "lblVersion", 72, 48, 163, 15);
    setTextColour(lblVersion_, highlight);
    auto* description = place(new QLabel(QString::fromLatin1(app::AboutDescription), this),
                              "lblDescription", 70, 72, 307, 70);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(description, highlight);

    command1_ =
        place(new QPushButton(QStringLiteral("More..."), this), "Command1", 324, 140, 53, 17);
    autoLabel(this, "Label1", 32, 144, QStringLiteral("E-mail:"));
    label4_ = linkLabel(this, "Label4", {72, 144, 93, 13}, QString::fromLatin1(app::MakerEmail));
    autoLabel(this, "Label6", 40, 160, QStringLiteral("URL: "));
    label7_ =
        linkLabel(this, "Label7", {72, 160, 171, 13}, QString::fromLatin1(app::MakerWebAddress));

    lineStrip(this, "Line1_1", {6, 187, 372, 1}, EtchGrey);
    lineStrip(this, "Line1_0", {7, 188, 371, 2}, Qt::white);

    cmdOK_ = place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", 296, 200, 84, 23);
    cmdOK_->setDefault(true);
    cmdSysInfo_ = place(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo", 296,
                        232, 83, 23);

    image2_ = place(new ClickableLabel(this), "Image2", 8, 268, 62, 31);
    image2_->setPixmap(QIcon(QStringLiteral(":/pictures/donate.svg")).pixmap(62, 31));
    image2_->setCursor(pointingHandCursor());

    setTabOrder(cmdOK_, cmdSysInfo_);
    setTabOrder(cmdSysInfo_, picture1);
    setTabOrder(picture1, command1_);
    cmdOK_->setFocus();
    showLabelsAsPlainText(this);
}

void FrmAbout::wireEvents() {
    connect(cmdOK_, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &FrmAbout::cmdSysInfo_Click);
    connect(command1_, &QPushButton::clicked, this, &FrmAbout::Command1_Click);
    connect(image2_, &ClickableLabel::clicked, this, &FrmAbout::Image2_Click);
    connect(label4_, &ClickableLabel::clicked, this, &FrmAbout::Label4_Click);
    connect(label7_, &ClickableLabel::clicked, this, &FrmAbout::Label7_Click);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &FrmAbout::Command1_Click);
    // Enter and Esc press OK (the dialog's default and cancel), and so does the
    // close button: each ends the dialog, which then discards itself, so the
    // next opening loads a new one.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

void FrmAbout::Form_Load() {
    setWindowTitle(fromBytes(app::aboutTitle()));
    lblVersion_->setText(
        fromBytes(app::versionCaption(app::VersionMajor, app::VersionMinor, app::VersionRevision)));
}

void FrmAbout::cmdOK_Click() {
    close();
}

void FrmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void FrmAbout::StartSysInfo() {
    std::optional<std::string> path;
    if (services_.systemInfoTool)
        path = services_.systemInfoTool->path();
    if (path && services_.desktop && services_.desktop->startProgram(*path))
        return;
    prompts_.message(app::sysInfoUnavailableMessage());
}

void FrmAbout::Command1_Click() {
    if (helpRequest_)
        helpRequest_();
}

void FrmAbout::Image2_Click() {
    if (services_.desktop)
        services_.desktop->openUrl(QUrl(QString::fromLatin1(app::MakerDonationPage)));
}

void FrmAbout::Label4_Click() {
    if (services_.desktop)
        services_.desktop->openUrl(
            QUrl(QStringLiteral("mailto:") + QString::fromLatin1(app::MakerEmail)));
}

void FrmAbout::Label7_Click() {
    // The address as the label shows it at the time of the click.
    if (services_.desktop)
        services_.desktop->openUrl(QUrl(label7_->text()));
}

} // namespace tallix::ui
