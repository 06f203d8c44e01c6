#include "ui/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "app/host_folders.h"
#include "app/own_call.h"
#include "app/startup.h"
#include "base/error_numbers.h"
#include "base/whole_file.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "text/basic_text.h"
#include "ui/about_window.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/heard_stations_window.h"
#include "ui/help_viewer.h"
#include "ui/mouse_down_filter.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"
#include "ui/widget_helpers.h"
#include "ui_form1.h"

#include <algorithm>

namespace tallix::ui {

namespace {

// A double click on a button is one click: the second press, which arrives
// together with the double-click event, neither clicks nor holds the button
// down until it is released. (The first click of a Process double click
// starts the run; its second must not land on the "Cancel" button the run has
// made of it.)
class SingleClickFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* button = static_cast<QAbstractButton*>(watched);
        switch (event->type()) {
        case QEvent::MouseButtonDblClick:
            swallowing_ = true;
            button->setDown(false);
            return true;
        case QEvent::MouseMove:
            return swallowing_;
        case QEvent::MouseButtonRelease:
            if (swallowing_) {
                swallowing_ = false;
                button->setDown(false);
            }
            return false;
        default:
            return false;
        }
    }

private:
    bool swallowing_ = false;
};

} // namespace

Form1::Form1(Environment environment, Prompts& prompts, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<::Ui::Form1>()), env_(std::move(environment)),
      prompts_(prompts) {
    m_ui->setupUi(this);
    productName_ = m_ui->Image1;
    indicator_ = m_ui->Label19;
    callSignLabel_ = m_ui->Label2;
    rawPane_ = m_ui->Text1;
    processedPane_ = m_ui->Text2;
    heardList_ = m_ui->List1;
    sortedHeardList_ = m_ui->List2;
    removeTxCheck_ = m_ui->Check1;
    sortCheck_ = m_ui->Check2;
    folderChoices_ = {m_ui->Option1_0, m_ui->Option1_1, m_ui->Option1_2, m_ui->Option1_3};
    renameButton_ = m_ui->cmdRename;
    deleteButton_ = m_ui->Command4;
    processButton_ = m_ui->Command2;
    saveButton_ = m_ui->Command3;
    printButton_ = m_ui->Command7;
    copyButton_ = m_ui->Command8;
    helpButton_ = m_ui->Command6;
    fileList_ = m_ui->File1;
    fileSizeLabel_ = m_ui->lblFileSize;
    fileDateLabel_ = m_ui->lbldate;
    completeLooks();
    for (std::size_t i = 0; i < analysis::FigureTable.size(); ++i) {
        const std::string_view name = analysis::FigureTable[i].element;
        figureLabels_[i] = findChild<QLabel*>(
            QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        if (!figureLabels_[i])
            qFatal("no label %.*s for a figure", static_cast<int>(name.size()), name.data());
    }
    connectElements();
}

Form1::~Form1() = default;

void Form1::connectElements() {
    connect(processButton_, &QToolButton::clicked, this, &Form1::onProcessClicked);
    processButton_->installEventFilter(new SingleClickFilter(processButton_));
    for (std::size_t i = 0; i < folderChoices_.size(); ++i)
        connect(folderChoices_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                onFolderChoiceClicked(static_cast<int>(i));
        });
    connect(fileList_, &FileListBox::entryChosen, this, &Form1::onFileChosen);
    connect(fileList_, &FileListBox::chosenDoubleClicked, this, &Form1::onFileDoubleClicked);
    connect(fileList_, &FileListBox::pathChanged, this, &Form1::onFolderChanged);
    connect(callSignLabel_, &ClickableLabel::clicked, this, &Form1::onCallSignClicked);
    connect(indicatorTimer_, &QTimer::timeout, this, &Form1::onIndicatorTick);
    for (QListWidget* list : {heardList_, sortedHeardList_})
        connect(list, &QListWidget::itemDoubleClicked, this, &Form1::onHeardListDoubleClicked);
    // A click on the indicator does nothing.

    // The file actions, the heard list's menu and Sort.
    connect(saveButton_, &QToolButton::clicked, this, &Form1::onSaveClicked);
    connect(printButton_, &QToolButton::clicked, this, &Form1::onPrintClicked);
    connect(copyButton_, &QToolButton::clicked, this, &Form1::onCopyClicked);
    connect(renameButton_, &QToolButton::clicked, this, &Form1::onRenameClicked);
    connect(deleteButton_, &QToolButton::clicked, this, &Form1::onDeleteClicked);
    connect(sortCheck_, &QCheckBox::toggled, this, &Form1::onSortClicked);
    // Presses reach a list's viewport, not the list.
    for (QListWidget* list : {heardList_, sortedHeardList_})
        list->viewport()->installEventFilter(new MouseDownFilter(
            list, [this](const QMouseEvent& press) { onHeardListPressed(press.buttons()); }));

    // Help and About.
    connect(productName_, &ClickableLabel::clicked, this, &Form1::onProductNameClicked);
    connect(helpButton_, &QToolButton::clicked, this, &Form1::onHelpClicked);
    helpButton_->installEventFilter(new MouseDownFilter(
        helpButton_, [this](const QMouseEvent& press) { onHelpPressed(press.button()); }));
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &Form1::requestHelp);
}

namespace {
void showCaption(QLabel* label, const QString& text) {
    label->setText(text);
    if (label->property("autoSize").toBool())
        label->adjustSize();
}
} // namespace

void Form1::setCaption(const char* element, const QString& text) {
    auto* label = findChild<QLabel*>(QString::fromLatin1(element));
    if (!label)
        qFatal("no label %s", element);
    showCaption(label, text);
}

void Form1::showFigures(const analysis::SummaryFigures& figures) {
    // The figures come from the log's bytes; the file's date is the desktop's text.
    for (std::size_t i = 0; i < analysis::FigureTable.size(); ++i) {
        const analysis::FigurePlace& place = analysis::FigureTable[i];
        const std::string& text = figures.*place.figure;
        showCaption(figureLabels_[i], place.text == analysis::FigureText::DesktopText
                                          ? fromDesktop(text)
                                          : fromBytes(text));
    }
}

files::DateFormat Form1::dateFormat() const {
    // The desktop's short date and long time, in UTF-8 as the desktop gives
    // them; a long time form's time zone is left out.
    return {[](const files::LocalDateTime& d) {
                return toDesktop(
                    QLocale().toString(QDate(d.year, d.month, d.day), QLocale::ShortFormat));
            },
            [](const files::LocalDateTime& d) {
                QString format = QLocale().timeFormat(QLocale::LongFormat);
                format.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
                return toDesktop(
                    QLocale().toString(QTime(d.hour, d.minute, d.second), format.trimmed()));
            }};
}

bool Form1::load() {
    const auto settingsPath = app::findSettingsFile(env_.hostFolder);
    const std::optional<std::string> settings =
        settingsPath ? app::readWholeFile(*settingsPath) : std::nullopt;
    const app::StartupDecision decision = app::decideStartup(env_.argumentText, settings);
    if (decision.outcome == app::StartupDecision::Outcome::NotFound) {
        prompts_.message(*decision.message);
        return false;
    }
    ownCall_ = decision.ownCall;
    showCallSign(fromBytes(decision.callCaption));
    if (decision.outcome == app::StartupDecision::Outcome::AddOn) {
        prompts_.message(*decision.message);
        return false;
    }
    checkKestDirs();
    rawPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    processedPane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    folderChoices_[0]->setFocus(); // the first element of the tab order
    return true;
}

void Form1::checkKestDirs() {
    bool failed = fileList_->setPath(env_.hostFolder) != 0;
    if (app::entryExists(env_.hostFolder, "Reports")) {
        failed = fileList_->setPath(app::folderOfChoice(env_.hostFolder, 1)) != 0 || failed;
        folderChoices_[1]->setEnabled(true);
        selectChoice(1);
    }
    if (app::entryExists(env_.hostFolder, "Logs"))
        folderChoices_[2]->setEnabled(true);
    if (app::entryExists(env_.hostFolder, "Monitor"))
        folderChoices_[3]->setEnabled(true);
    if (failed)
        selectChoice(0);
}

void Form1::selectChoice(int index) {
    QRadioButton* option = folderChoices_[static_cast<std::size_t>(index)];
    if (option->isChecked())
        onFolderChoiceClicked(index); // selecting it again still runs its click
    else
        option->setChecked(true);
}

void Form1::onFolderChoiceClicked(int index) {
    if (index < 0 || index > 3)
        return;
    const auto& choice = app::FolderChoices[static_cast<std::size_t>(index)];
    if (const int error = fileList_->setPath(app::folderOfChoice(env_.hostFolder, index));
        error != 0) {
        prompts_.message({choice.missingMessage, "Error nr" + app::errorDescription(error),
                          app::Buttons::Ok, app::Icon::Critical});
    }
    fileList_->refresh();
}

void Form1::onFolderChanged() {
    fileSizeLabel_->setText(QStringLiteral("0 kB"));
    fileDateLabel_->setText(QStringLiteral("none"));
}

void Form1::onFileChosen() {
    processButton_->setEnabled(true);
    currentFile_ = app::joinPath(fileList_->path(), fileList_->selectedName());
    showFileToProcess(currentFile_);
    const files::FileFactsResult facts = files::readFileFacts(currentFile_);
    if (facts.facts) {
        // A file that vanished since the list was read keeps the earlier facts.
        // Figures and the desktop's date texts: UTF-8.
        const auto captions = files::selectionCaptions(*facts.facts, dateFormat());
        setCaption("lblSize_0", fromDesktop(captions.sizeLabel));
        fileSizeLabel_->setText(fromDesktop(captions.fileSize));
        fileDateLabel_->setText(fromDesktop(captions.date));
        setCaption("Label35", fromDesktop(captions.createdLabel));
    }
    deleteButton_->setEnabled(true);
    showPreview();
}

void Form1::showFileToProcess(const std::string& path) {
    label5Path_ = path;
    // The frame's width is all the path has.
    QLabel* label = m_ui->Label5;
    const QString whole = fromPath(path);
    showCutText(label, whole,
                elidePath(whole, label->fontMetrics(), m_ui->Frame1->width() - label->x() - 4));
}

void Form1::showCallSign(const QString& call) {
    // A long call stops short of the magnifier picture.
    const int room = m_ui->Picture2->x() - callSignLabel_->x() - 4;
    showCutText(callSignLabel_, call,
                callSignLabel_->fontMetrics().elidedText(call, Qt::ElideRight, room));
}

void Form1::onFileDoubleClicked() {
    onProcessClicked();
}

void Form1::showPreview() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    rawPane_->clear();
    // Reading a file too large to show takes a while: the window repaints
    // meanwhile, but takes no clicks or keys until the pane is filled.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTurn = 0;
    files::Preview preview = files::loadPreview(currentFile_, [&] {
        if (clock.elapsed() - lastTurn < yieldInterval())
            return;
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        lastTurn = clock.elapsed();
    });
    if (preview.raw.loaded) {
        if (!preview.notice.empty())
            rawPane_->setPlainText(fromDesktop(preview.notice));
        else if (preview.raw.richText)
            showRichText(preview.raw.document);
        else
            rawPane_->setPlainText(toPaneText(preview.raw.text));
        rawBytes_ = std::make_shared<const std::string>(std::move(preview.raw.text));
        rawBytesHeld_ = preview.textHeld;
        previewLineCount_ = preview.lineCount;
        setCaption("Label12", QString::fromStdString(text::singleText(previewLineCount_)));
    } else {
        rawBytes_ = std::make_shared<const std::string>();
        rawBytesHeld_ = true;
    }
    currentFileIsRtf_ = files::isRtfPath(currentFile_);
    QPalette p = rawPane_->palette();
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    rawPane_->setPalette(p);
    rawPane_->moveCursor(QTextCursor::Start);
    rawPane_->ensureCursorVisible();
    QApplication::restoreOverrideCursor();
}

namespace {

const QString RichTextDocument = QStringLiteral("richTextPreview");

// A paragraph's alignment and indents (twips, 15 to the pixel) as the pane's.
QTextBlockFormat blockFormat(const files::ParagraphFormat& format) {
    constexpr double TwipsPerPixel = 15.0;
    QTextBlockFormat block;
    switch (format.alignment) {
    case files::Alignment::Left:
        block.setAlignment(Qt::AlignLeft);
        break;
    case files::Alignment::Center:
        block.setAlignment(Qt::AlignHCenter);
        break;
    case files::Alignment::Right:
        block.setAlignment(Qt::AlignRight);
        break;
    case files::Alignment::Justify:
        block.setAlignment(Qt::AlignJustify);
        break;
    }
    block.setLeftMargin(std::max(0, format.leftIndent) / TwipsPerPixel);
    block.setRightMargin(std::max(0, format.rightIndent) / TwipsPerPixel);
    block.setTextIndent(format.firstLineIndent / TwipsPerPixel);
    return block;
}

} // namespace

void Form1::showRichText(const files::RtfDocument& document) {
    // Paragraphs keep their alignment and indents; the preview style does the
    // rest. The text goes into a new document that the pane takes once it is
    // whole: the pane then lays it out bit by bit, as it does a plain text,
    // where inserting into the shown document lays all of it out at once. A
    // stretch of paragraphs of one format goes in with one insertion.
    auto* shown = new QTextDocument(rawPane_);
    shown->setObjectName(RichTextDocument);
    shown->setUndoRedoEnabled(false);
    shown->setDefaultFont(rawPane_->document()->defaultFont());
    QTextCursor cursor(shown);
    cursor.beginEditBlock();
    const auto& paragraphs = document.paragraphs;
    std::string stretch;
    for (std::size_t i = 0; i < paragraphs.size();) {
        const files::ParagraphFormat& format = paragraphs[i].format;
        stretch.clear();
        std::size_t next = i;
        for (; next < paragraphs.size() && paragraphs[next].format == format; ++next) {
            if (next > i)
                stretch += "\r\n";
            for (const auto& run : paragraphs[next].runs)
                stretch += run.text;
        }
        if (i == 0)
            cursor.setBlockFormat(blockFormat(format));
        else
            cursor.insertBlock(blockFormat(format));
        // A first-line indent needs a block of its own for every paragraph.
        cursor.insertText(format.firstLineIndent == 0 ? toPaneText(stretch)
                                                      : toDisplayText(stretch));
        i = next;
    }
    cursor.endEditBlock();
    // A document made here before goes; the pane's first one the pane
    // deletes itself when it takes another.
    QTextDocument* previous = rawPane_->document();
    const bool madeHere = previous->objectName() == RichTextDocument;
    rawPane_->setDocument(shown);
    if (madeHere)
        delete previous;
}

void Form1::onCallSignClicked() {
    // The call sign is 8-bit text; the box speaks UTF-8.
    const std::string answer =
        toBytes(fromDesktop(prompts_.input(app::callSignInputBox(toDesktop(fromBytes(ownCall_))))));
    if (const auto call = app::acceptCallSignAnswer(answer)) {
        ownCall_ = *call;
        showCallSign(fromBytes(ownCall_));
    }
}

void Form1::onIndicatorTick() {
    static const QColor steps[3] = {QColor(0, 0, 128), QColor(0, 128, 0), QColor(128, 0, 0)};
    if (blinkPhase_ >= 0 && blinkPhase_ <= 2) {
        QPalette p = indicator_->palette();
        p.setColor(QPalette::WindowText, steps[blinkPhase_]);
        indicator_->setPalette(p);
    }
    ++blinkPhase_;
    if (blinkPhase_ > 2)
        blinkPhase_ = 0;
}

void Form1::closeEvent(QCloseEvent* event) {
    // A run in progress ends where it next lets events run, wherever it is;
    // the program ends once it has. The About, help and stations windows go
    // with this one, so that no window keeps the program alive.
    cancelRequested_ = true;
    closing_ = true;
    for (QWidget* other :
         {static_cast<QWidget*>(about_.data()), static_cast<QWidget*>(helpViewer_.data()),
          static_cast<QWidget*>(heardStations_.data())})
        if (other)
            other->close();
    if (!running_)
        unload();
    event->accept();
}

void Form1::unload() {
    lineStore_.clear();
    heardStore_.reset();
}

} // namespace tallix::ui
