#include "ui/qt_prompts.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/qt_text.h"
#include "ui/widget_helpers.h"

namespace tallix::ui {

namespace {

// A prompt's text with its line ends as the dialog shows them.
QString promptText(const std::string& utf8) {
    QString s = fromDesktop(utf8);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// A window title that shows `title` as it stands: "[*]" stands for the
// modified mark, doubled it is shown.
QString plainWindowTitle(const QString& title) {
    QString t = title;
    return t.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

} // namespace

Answer QtPrompts::message(const base::MessageBox& box) {
    QMessageBox mb(parent_);
    mb.setWindowTitle(plainWindowTitle(promptText(box.title)));
    mb.setTextFormat(Qt::PlainText);
    mb.setText(promptText(box.text));
    switch (box.icon) {
    case base::Icon::None:
        mb.setIcon(QMessageBox::NoIcon);
        break;
    case base::Icon::Information:
        mb.setIcon(QMessageBox::Information);
        break;
    case base::Icon::Exclamation:
        mb.setIcon(QMessageBox::Warning);
        break;
    case base::Icon::Critical:
        mb.setIcon(QMessageBox::Critical);
        break;
    }
    if (box.buttons == base::Buttons::YesNo) {
        mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        mb.setDefaultButton(QMessageBox::Yes);
        return mb.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    mb.setStandardButtons(QMessageBox::Ok);
    mb.exec();
    return Answer::Ok;
}

std::string QtPrompts::input(const base::InputBox& box) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(plainWindowTitle(promptText(box.title)));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setLabelText(promptText(box.prompt));
    dialog.setTextValue(promptText(box.defaultText));
    showLabelsAsPlainText(&dialog);
    return dialog.exec() == QDialog::Accepted ? toDesktop(dialog.textValue()) : std::string();
}

QString nameFilterText(const SaveDialogRequest::Filter& filter) {
    // The dialog shows the patterns it matches in brackets after the
    // description, so a description that brings its own loses them.
    QString description = fromBytes(filter.description);
    if (description.endsWith(QLatin1Char(')'))) {
        if (const qsizetype open = description.lastIndexOf(QLatin1String(" (")); open >= 0)
            description.truncate(open);
    }
    QStringList patterns;
    for (const QString& p : QString::fromStdString(filter.pattern).split(';', Qt::SkipEmptyParts))
        patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p); // every name, dot or not
    return description + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::optional<std::string> QtPrompts::saveFile(const SaveDialogRequest& request) {
    QFileDialog dialog(parent_, fromBytes(request.title), qtFileName(request.folder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Our own overwrite question follows; the dialog adds no suffix of its own.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(QString());
    QStringList filters;
    for (const auto& f : request.filters)
        filters << nameFilterText(f);
    dialog.setNameFilters(filters);
    dialog.selectFile(fromPath(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // The folder as Qt read it from the disk; the name as typed, or the
    // proposal as shown, which gives back its bytes.
    const QFileInfo chosen(dialog.selectedFiles().constFirst());
    return fromQtFileName(chosen.path()) + "/" + toPath(chosen.fileName());
}

} // namespace tallix::ui
