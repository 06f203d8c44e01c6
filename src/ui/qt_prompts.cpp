#include "ui/qt_prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/qt_text.h"

namespace tallix::ui {

Answer QtPrompts::message(const app::MessageBox& box) {
    QMessageBox mb(parent_);
    mb.setWindowTitle(fromBytes(box.title));
    mb.setText(toDisplayText(box.text));
    switch (box.icon) {
    case app::Icon::None: mb.setIcon(QMessageBox::NoIcon); break;
    case app::Icon::Information: mb.setIcon(QMessageBox::Information); break;
    case app::Icon::Exclamation: mb.setIcon(QMessageBox::Warning); break;
    case app::Icon::Critical: mb.setIcon(QMessageBox::Critical); break;
    }
    if (box.buttons == app::Buttons::YesNo) {
        mb.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        mb.setDefaultButton(QMessageBox::Yes);
        return mb.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    mb.setStandardButtons(QMessageBox::Ok);
    mb.exec();
    return Answer::Ok;
}

std::string QtPrompts::input(const app::InputBox& box) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, fromBytes(box.title), fromBytes(box.prompt),
                                               QLineEdit::Normal, fromBytes(box.defaultText), &ok);
    return ok ? toBytes(text) : std::string();
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
    QFileDialog dialog(parent_, fromBytes(request.title), fromPath(request.folder));
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
    return toPath(dialog.selectedFiles().constFirst());
}

} // namespace tallix::ui
