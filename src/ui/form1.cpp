#include "ui/form1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include "base/error_numbers.h"
#include "app/host_folders.h"
#include "app/own_call.h"
#include "app/startup.h"
#include "base/whole_file.h"
#include "files/file_list.h"
#include "files/raw_text.h"
#include "text/basic_text.h"
#include "ui/about_window.h"
#include "ui/clickable_label.h"
#include "ui/file_list_box.h"
#include "ui/heard_stations_window.h"
#include "ui/help_viewer.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

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
    : QWidget(parent), env_(std::move(environment)), prompts_(prompts) {
    buildLayout();
    wireEvents();
}

Form1::~Form1() = default;

void Form1::wireEvents() {
    connect(command2_, &QToolButton::clicked, this, &Form1::Command2_Click);
    command2_->installEventFilter(new SingleClickFilter(command2_));
    for (std::size_t i = 0; i < option1_.size(); ++i)
        connect(option1_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(static_cast<int>(i));
        });
    connect(file1_, &FileListBox::entryChosen, this, &Form1::File1_Click);
    connect(file1_, &FileListBox::chosenDoubleClicked, this, &Form1::File1_DblClick);
    connect(file1_, &FileListBox::pathChanged, this, &Form1::File1_PathChange);
    connect(label2_, &ClickableLabel::clicked, this, &Form1::Label2_Click);
    connect(timer1_, &QTimer::timeout, this, &Form1::Timer1_Timer);
    for (QListWidget* list : {list1_, list2_})
        connect(list, &QListWidget::itemDoubleClicked, this, &Form1::HeardList_DblClick);
    // A click on the indicator does nothing.
    wireActions();
    wireHelpAndAbout();
}

void Form1::setCaption(const char* element, const QString& text) {
    if (auto* label = findChild<QLabel*>(QString::fromLatin1(element))) {
        label->setText(text);
        if (label->property("autoSize").toBool())
            label->adjustSize();
    }
}

files::DateFormat Form1::dateFormat() const {
    // The desktop's short date and long time, in UTF-8 as the desktop gives
    // them; a long time form's time zone is left out.
    return {[](const files::LocalDateTime& d) {
                return toDesktop(QLocale().toString(QDate(d.year, d.month, d.day),
                                                    QLocale::ShortFormat));
            },
            [](const files::LocalDateTime& d) {
                QString format = QLocale().timeFormat(QLocale::LongFormat);
                format.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
                return toDesktop(QLocale().toString(QTime(d.hour, d.minute, d.second),
                                                    format.trimmed()));
            }};
}

bool Form1::Form_Load() {
    const auto settingsPath = app::findSettingsFile(env_.hostFolder);
    const std::optional<std::string> settings =
        settingsPath ? app::readWholeFile(*settingsPath) : std::nullopt;
    const app::StartupDecision decision = app::decideStartup(env_.argumentText, settings);
    if (decision.outcome == app::StartupDecision::Outcome::NotFound) {
        prompts_.message(*decision.message);
        return false;
    }
    ownCall_ = decision.ownCall;
    setCaption("Label2", fromBytes(decision.callCaption));
    if (decision.outcome == app::StartupDecision::Outcome::AddOn) {
        prompts_.message(*decision.message);
        return false;
    }
    CheckKestDirs();
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    option1_[0]->setFocus(); // the first element of the tab order
    return true;
}

void Form1::CheckKestDirs() {
    bool failed = file1_->setPath(env_.hostFolder) != 0;
    if (app::entryExists(env_.hostFolder, "Reports")) {
        failed = file1_->setPath(app::folderOfChoice(env_.hostFolder, 1)) != 0 || failed;
        option1_[1]->setEnabled(true);
        selectChoice(1);
    }
    if (app::entryExists(env_.hostFolder, "Logs"))
        option1_[2]->setEnabled(true);
    if (app::entryExists(env_.hostFolder, "Monitor"))
        option1_[3]->setEnabled(true);
    if (failed)
        selectChoice(0);
}

void Form1::selectChoice(int index) {
    QRadioButton* option = option1_[static_cast<std::size_t>(index)];
    if (option->isChecked())
        Option1_Click(index); // selecting it again still runs its click
    else
        option->setChecked(true);
}

void Form1::Option1_Click(int index) {
    if (index < 0 || index > 3)
        return;
    const auto& choice = app::FolderChoices[static_cast<std::size_t>(index)];
    if (const int error = file1_->setPath(app::folderOfChoice(env_.hostFolder, index));
        error != 0) {
        prompts_.message({choice.missingMessage, "Error nr" + app::errorDescription(error),
                          app::Buttons::Ok, app::Icon::Critical});
    }
    file1_->refresh();
}

void Form1::File1_PathChange() {
    lblFileSize_->setText(QStringLiteral("0 kB"));
    lbldate_->setText(QStringLiteral("none"));
}

void Form1::File1_Click() {
    command2_->setEnabled(true);
    currentFile_ = app::joinPath(file1_->path(), file1_->selectedName());
    showFileToProcess(currentFile_);
    const files::FileFactsResult facts = files::readFileFacts(currentFile_);
    if (facts.facts) {
        // A file that vanished since the list was read keeps the earlier facts.
        // Figures and the desktop's date texts: UTF-8.
        const auto captions = files::selectionCaptions(*facts.facts, dateFormat());
        setCaption("lblSize_0", fromDesktop(captions.sizeLabel));
        lblFileSize_->setText(fromDesktop(captions.fileSize));
        lbldate_->setText(fromDesktop(captions.date));
        setCaption("Label35", fromDesktop(captions.createdLabel));
    }
    command4_->setEnabled(true);
    Preview();
}

void Form1::showFileToProcess(const std::string& path) {
    label5Path_ = path;
    setCaption("Label5", fromPath(path));
}

void Form1::File1_DblClick() {
    Command2_Click();
}

void Form1::Preview() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    text1_->clear();
    const files::RawText raw = files::loadRawText(currentFile_);
    if (raw.loaded) {
        rawBytes_ = raw.text;
        if (raw.richText) {
            // Paragraphs keep their alignment; the preview style does the rest.
            QTextCursor cursor(text1_->document());
            bool first = true;
            for (const auto& paragraph : raw.document.paragraphs) {
                QTextBlockFormat block;
                switch (paragraph.alignment) {
                case files::Alignment::Left: block.setAlignment(Qt::AlignLeft); break;
                case files::Alignment::Center: block.setAlignment(Qt::AlignHCenter); break;
                case files::Alignment::Right: block.setAlignment(Qt::AlignRight); break;
                case files::Alignment::Justify: block.setAlignment(Qt::AlignJustify); break;
                }
                if (first)
                    cursor.setBlockFormat(block);
                else
                    cursor.insertBlock(block);
                first = false;
                cursor.insertText(toDisplayText(paragraph.text()));
            }
        } else {
            text1_->setPlainText(toDisplayText(raw.text));
        }
        previewLineCount_ = files::previewLineCount(raw.text);
        setCaption("Label12", QString::fromStdString(text::singleText(previewLineCount_)));
    } else {
        rawBytes_.clear();
    }
    currentFileIsRtf_ = files::isRtfPath(currentFile_);
    QPalette p = text1_->palette();
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Base, QColor(0xE0, 0xE0, 0xE0));
    text1_->setPalette(p);
    text1_->moveCursor(QTextCursor::Start);
    text1_->ensureCursorVisible();
    QApplication::restoreOverrideCursor();
}

void Form1::Label2_Click() {
    // The call sign is 8-bit text; the box speaks UTF-8.
    const std::string answer =
        toBytes(fromDesktop(prompts_.input(app::callSignInputBox(toDesktop(fromBytes(ownCall_))))));
    if (const auto call = app::acceptCallSignAnswer(answer)) {
        ownCall_ = *call;
        setCaption("Label2", fromBytes(ownCall_));
    }
}

void Form1::Timer1_Timer() {
    static const QColor steps[3] = {QColor(0, 0, 128), QColor(0, 128, 0), QColor(128, 0, 0)};
    if (blinkPhase_ >= 0 && blinkPhase_ <= 2) {
        QPalette p = label19_->palette();
        p.setColor(QPalette::WindowText, steps[blinkPhase_]);
        label19_->setPalette(p);
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
    for (QWidget* other : {static_cast<QWidget*>(about_.data()),
                           static_cast<QWidget*>(helpViewer_.data()),
                           static_cast<QWidget*>(heardStations_.data())})
        if (other)
            other->close();
    if (!running_)
        Form_Unload();
    event->accept();
}

void Form1::Form_Unload() {
    lineStore_.clear();
    heardStore_.reset();
}

} // namespace tallix::ui
