#include "ui/qt_text.h"

#include <QFile>

#include "text/cp1252.h"

namespace tallix::ui {

QString fromBytes(std::string_view bytes) {
    const std::u16string utf16 = text::cp1252ToUtf16(bytes);
    return QString::fromUtf16(utf16.data(), static_cast<qsizetype>(utf16.size()));
}

std::string toBytes(const QString& text) {
    return text::utf16ToCp1252(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                            static_cast<std::size_t>(text.size())));
}

QString toDisplayText(std::string_view bytes) {
    QString s = fromBytes(bytes);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace tallix::ui
