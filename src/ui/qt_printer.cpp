#include "ui/qt_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

#include <memory>

namespace tallix::ui {

PrintResult QtPrinter::print(const QString& text) {
    std::unique_ptr<QPrinter> printer;
    if (pdfFile_.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull() || QPrinterInfo::availablePrinters().isEmpty())
            return PrintResult::NoPrinter;
        printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    } else {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdfFile_);
    }
    printer->setDocName(QStringLiteral("Tallix"));
    if (!printer->isValid())
        return PrintResult::Failed;

    QPainter painter;
    if (!painter.begin(printer.get()))
        return PrintResult::Failed;
    // Laid out for the printer's resolution, in pages of its printable area;
    // lines too long for a page wrap.
    QTextDocument document;
    document.documentLayout()->setPaintDevice(printer.get());
    document.setDocumentMargin(0);
    document.setPlainText(text);
    const QSizeF page = printer->pageLayout().paintRectPixels(printer->resolution()).size();
    document.setPageSize(page);
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer->newPage()) {
            painter.end();
            return PrintResult::Failed;
        }
        const QRectF shown(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -shown.top());
        document.drawContents(&painter, shown);
        painter.restore();
    }
    return painter.end() ? PrintResult::Printed : PrintResult::Failed;
}

} // namespace tallix::ui
