#pragma once

#include <QString>

#include "ui/printer.h"

namespace tallix::ui {

// Prints with Qt's print support: on the default printer, or into a PDF file
// when one is named.
class QtPrinter : public Printer {
public:
    QtPrinter() = default;
    explicit QtPrinter(QString pdfFile) : pdfFile_(std::move(pdfFile)) {}
    PrintResult print(const QString& text) override;

private:
    QString pdfFile_;
};

} // namespace tallix::ui
