// The main window's elements: place, size, caption, tool tip, font, colour and
// state at start, all in pixels.

#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "app/host_folders.h"
#include "app/message_box.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/form1.h"
#include "ui/widget_helpers.h"
#include "ui/wrapping_check_box.h"

namespace tallix::ui {

namespace {

const QColor FrameTitle(0, 0, 192);
const QColor HeardBackground(128, 255, 255);
const QColor RawBackground(224, 224, 224);

// A label that sizes to its text, as the window's captions do.
QLabel* autoLabel(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setProperty("autoSize", true);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLabel* highlightLabel(QWidget* parent, const char* name, int x, int y, const QString& text) {
    QLabel* l = autoLabel(parent, name, x, y, text);
    setTextColour(l, l->palette().color(QPalette::Highlight));
    return l;
}

// A frame whose title is drawn in its own colour; what it holds keeps the
// window's text colour.
QGroupBox* titledFrame(QWidget* parent, const char* name, const QString& title, QRect r) {
    auto* g = place(new QGroupBox(title, parent), name, r.x(), r.y(), r.width(), r.height());
    g->setProperty("normalText", parent->palette().color(QPalette::WindowText));
    setTextColour(g, FrameTitle);
    return g;
}

// Children of a titled frame take back the window's text colour.
void keepNormalText(QGroupBox* frame) {
    const QColor normal = frame->property("normalText").value<QColor>();
    for (QWidget* child : frame->findChildren<QWidget*>()) {
        if (child->palette().color(QPalette::WindowText) == FrameTitle &&
            !child->property("ownColour").toBool())
            setTextColour(child, normal);
    }
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& caption,
                           const QString& icon, QRect r) {
    auto* b = place(new QToolButton(parent), name, r.x(), r.y(), r.width(), r.height());
    b->setIcon(QIcon(icon));
    if (caption.isEmpty()) {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setIconSize(QSize(r.width() - 8, r.height() - 8));
    } else {
        b->setText(caption);
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(24, 24));
    }
    return b;
}

} // namespace

void Form1::buildLayout() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(app::WindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(763, 499);
    setFont(windowFont());

    // Left part: the two panes with their caption rows.
    frame1_ = titledFrame(this, "Frame1", QStringLiteral("Kest File to process"), {1, 0, 425, 33});
    label5_ = autoLabel(frame1_, "Label5", 4, 13, QStringLiteral("none"));

    image1_ = place(new ClickableLabel(this), "Image1", 432, 8, 141, 34);
    image1_->setPixmap(QIcon(QStringLiteral(":/pictures/product-name.svg")).pixmap(141, 34));
    image1_->setCursor(pointingHandCursor());

    highlightLabel(this, "Label6", 0, 33, QStringLiteral("Original File (Raw)"));
    lblSize_ = highlightLabel(this, "lblSize_0", 120, 33, QStringLiteral("Size:"));
    label35_ = highlightLabel(this, "Label35", 252, 33, QStringLiteral("Created @"));

    text1_ = place(new QTextEdit(this), "Text1", 1, 48, 573, 133);
    text2_ = place(new QTextEdit(this), "Text2", 1, 224, 573, 273);
    for (QTextEdit* pane : {text1_, text2_}) {
        pane->setFont(monoFont());
        pane->document()->setDefaultFont(monoFont());
        pane->setLineWrapMode(QTextEdit::NoWrap);
        pane->setReadOnly(true);
        pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        pane->setAcceptRichText(false);
    }
    setBackground(text1_, RawBackground);

    highlightLabel(this, "Label11", 0, 180, QStringLiteral("Total lines:"));
    label12_ = highlightLabel(this, "Label12", 56, 180, QStringLiteral("0"));
    label19_ = place(new ClickableLabel(QStringLiteral("Processing Data..."), this), "Label19", 164,
                     187, 268, 20);
    label19_->setFont(sansFont(12, true));
    setTextColour(label19_, FrameTitle);
    label19_->hide();

    label7_ = highlightLabel(this, "Label7", 1, 210, QStringLiteral("Processed File (Raw)"));
    highlightLabel(this, "totalLineProcessed", 240, 210,
                   QStringLiteral("Total events processed = 0"));
    auto* label33 = place(new QLabel(QStringLiteral("Heard Stations"), this), "Label33", 464, 209,
                          77, 17);
    setTextColour(label33, label33->palette().color(QPalette::Highlight));
    setBackground(label33, HeardBackground);
    auto* label34 = place(new QLabel(this), "Label34", 540, 209, 34, 17);
    setBackground(label34, HeardBackground);

    list1_ = place(new QListWidget(this), "List1", 464, 224, 91, 43);
    list1_->setToolTip(QStringLiteral("List of digipeated/heard stations"));
    list2_ = place(new QListWidget(this), "List2", 464, 224, 91, 43);
    for (QListWidget* list : {list1_, list2_}) {
        setBackground(list, HeardBackground);
        list->setContextMenuPolicy(Qt::CustomContextMenu);
    }
    list2_->hide();

    auto* picture4 = place(new QFrame(this), "Picture4", 464, 264, 91, 21);
    picture4->setFrameShape(QFrame::Box);
    check2_ = place(new QCheckBox(QStringLiteral("Sort"), picture4), "Check2", 1, 1, 89, 17);
    setBackground(check2_, HeardBackground);

    // The frame "Control".
    frame3_ = titledFrame(this, "Frame3", QStringLiteral("Control"), {577, 0, 185, 217});
    const int optionTop[4] = {12, 38, 51, 25}; // by index; on screen 0, 3, 1, 2
    for (const auto& choice : app::FolderChoices) {
        const std::string name = "Option1_" + std::to_string(choice.index);
        auto* option = place(new QRadioButton(QString::fromLatin1(choice.caption), frame3_),
                             name.c_str(), 4, optionTop[choice.index], 93, 17);
        option->setEnabled(choice.index == 0);
        option->setChecked(choice.index == 0);
        option1_[static_cast<std::size_t>(choice.index)] = option;
    }
    cmdRename_ = pictureButton(frame3_, "cmdRename", {}, QStringLiteral(":/icons/rename.svg"),
                               {124, 40, 29, 29});
    cmdRename_->setToolTip(QStringLiteral("Rename file"));
    command4_ = pictureButton(frame3_, "Command4", {}, QStringLiteral(":/icons/delete.svg"),
                              {152, 40, 28, 29});
    command4_->setToolTip(QStringLiteral("Delete file"));

    auto* picture3 = place(new QFrame(frame3_), "Picture3", 4, 68, 177, 88);
    picture3->setFrameShape(QFrame::Box);
    file1_ = place(new FileListBox(picture3), "File1", -1, -1, 175, 86);
    file1_->setToolTip(QStringLiteral("Select the file to analyse and process"));
    file1_->setFont(sansFont(6.75));

    auto* picture1 = place(new QFrame(frame3_), "Picture1", 96, 155, 85, 29);
    picture1->setFrameShape(QFrame::Box);
    setBackground(picture1, palette().color(QPalette::Base));
    QLabel* label36 = highlightLabel(picture1, "Label36", 0, 0, QStringLiteral("File size="));
    lblFileSize_ = place(new QLabel(QStringLiteral("0 kB"), picture1), "lblFileSize", 40, 0, 45, 13);
    QLabel* label37 = highlightLabel(picture1, "Label37", 0, 12, QStringLiteral("Date="));
    lbldate_ = place(new QLabel(QStringLiteral("none"), picture1), "lbldate", 28, 12, 57, 13);
    for (QLabel* l : {label36, lblFileSize_, label37, lbldate_}) {
        l->setFont(sansFont(6.75));
        if (l->property("autoSize").toBool())
            l->adjustSize();
    }

    command2_ = pictureButton(frame3_, "Command2", QStringLiteral("Process"),
                              QStringLiteral(":/icons/process.svg"), {4, 168, 74, 43});
    command2_->setToolTip(QStringLiteral("Start to analyze and process the selected file"));
    command2_->setIconSize(QSize(20, 20));
    check1_ = place(new WrappingCheckBox(QStringLiteral("Remove Your TX Frames"), frame3_),
                    "Check1", 84, 184, 89, 29);
    check1_->setToolTip(QStringLiteral("Removes your transmitted frames from the result"));
    check1_->setChecked(true);

    // The frame "Info": a caption label and a value label per row.
    frame2_ = titledFrame(this, "Frame2", QStringLiteral("Info"), {577, 219, 185, 223});
    struct Row {
        int y;
        const char* caption;
        const char* captionText;
        const char* tip;
        const char* value;
        int valueX;
        const char* start;
    };
    const Row rows[] = {
        {16, "Label1", "Your Call:", "The callsign who logged the file", "Label2", 56, "none"},
        {35, "Label10", "File created:", nullptr, "Label22", 72, "none"},
        {59, "Label23", "File size:", nullptr, "Label24", 56, "0"},
        {72, "Label13", "Total lines:", "Number of lines the processed file", "Label14", 64, "0"},
        {84, "Label9", "Total of your digi's:", "How many times you have been digipeated",
         "Label8", 101, "0"},
        {97, "Label17", "Total transmitted frames:", "Total packet frames you transmitted",
         "Label18", 128, "0"},
        {109, "Label15", "Total received headers:", "Total received headers", "Label16", 125,
         "0"},
        {121, "Label3", "Total Digipeated Stations:",
         "Total of the stations that has been digipeated (heard)", "Label4", 136, "0"},
        {134, "Label25", "First packet logged:", "The time of the first received packetframe",
         "Label26", 104, "none"},
        {147, "Label27", "Last packet logged:", "The time of the last received packetframe",
         "Label28", 104, "none"},
        {160, "Label31", "Total log time:",
         "The total logging time in minutes (first and last received packet time)", "Label32",
         80, "none"},
        {175, "Label29", "RX Average Frames/Minute:",
         "How many frames you receive a minute (average)", "Label30", 144, "0"},
        {188, "Label20", "Efficiency:",
         "Effectiveness of your TX attempts compared to your digipeated frames", "Label21", 64,
         "0 %"},
    };
    for (const Row& row : rows) {
        QLabel* caption = highlightLabel(frame2_, row.caption, 8, row.y,
                                         QString::fromLatin1(row.captionText));
        if (row.tip)
            caption->setToolTip(QString::fromLatin1(row.tip));
        const QString start = QString::fromLatin1(row.start);
        if (std::string_view(row.value) == "Label2") {
            label2_ = new ClickableLabel(start, frame2_);
            label2_->setObjectName(QStringLiteral("Label2"));
            label2_->setProperty("autoSize", true);
            label2_->move(row.valueX, row.y);
            label2_->setFont(sansFont(8.25, true));
            label2_->setToolTip(
                QStringLiteral("Call sign which is used to analyse the file (retrieved from Kest)"));
            label2_->setCursor(pointingHandCursor());
            label2_->adjustSize();
        } else if (std::string_view(row.value) == "Label22") {
            auto* l = place(new QLabel(start, frame2_), row.value, row.valueX, row.y, 80, 27);
            l->setWordWrap(true);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else if (std::string_view(row.value) == "Label21") {
            auto* l = place(new QLabel(start, frame2_), row.value, row.valueX, row.y, 105, 29);
            l->setWordWrap(true);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        } else {
            autoLabel(frame2_, row.value, row.valueX, row.y, start);
        }
    }
    auto* picture2 = place(new QLabel(frame2_), "Picture2", 148, 9, 32, 32);
    picture2->setPixmap(QIcon(QStringLiteral(":/icons/page-magnifier.svg")).pixmap(32, 32));

    for (QGroupBox* frame : {frame1_, frame2_, frame3_})
        keepNormalText(frame);

    // The button row.
    command3_ = pictureButton(this, "Command3", QStringLiteral("Save"),
                              QStringLiteral(":/icons/save.svg"), {580, 448, 41, 49});
    command3_->setToolTip(
        QStringLiteral("Save and Replace the original file with this processed file "));
    command8_ = pictureButton(this, "Command8", QStringLiteral("Copy"),
                              QStringLiteral(":/icons/copy.svg"), {624, 448, 41, 49});
    command8_->setToolTip(QStringLiteral("Copy the processed file to Clipboard"));
    command7_ = pictureButton(this, "Command7", QStringLiteral("Print..."),
                              QStringLiteral(":/icons/print.svg"), {668, 448, 41, 49});
    command6_ = pictureButton(this, "Command6", QStringLiteral("Help"),
                              QStringLiteral(":/icons/help.svg"), {720, 448, 41, 49});
    for (QToolButton* b : {command3_, command8_, command7_})
        b->setEnabled(false);

    menucopyheard_ = new QMenu(QStringLiteral("Copy heard"), this);
    menucopyheard_->setObjectName(QStringLiteral("menucopyheard"));
    QAction* copyHeard = menucopyheard_->addAction(QStringLiteral("Copy List To Clipboard"));
    copyHeard->setObjectName(QStringLiteral("menucopyheard1"));

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);

    // Tab order: the folder choices in screen order, then the buttons and panes.
    QWidget* order[] = {option1_[0], option1_[3], option1_[1], option1_[2], cmdRename_,
                        command4_,   command2_,   check1_,     text1_,      text2_,
                        command3_,   command8_,   command7_,   command6_,   list1_,
                        list2_,      file1_,      check2_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    showLabelsAsPlainText(this);
}

} // namespace tallix::ui
