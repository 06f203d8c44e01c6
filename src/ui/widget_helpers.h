#pragma once
// What every window of the program does to its elements: the fonts that take
// the place of the classic ones, the pointing hand, labels that size to their
// text, and colours.

#include <QApplication>
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QWidget>

#include <algorithm>

namespace tallix::ui {

// The one sans family of every window, dialog, menu and tip: narrow, so every
// caption fits where the layout puts it.
inline QString windowFontFamily() {
    return QStringLiteral("Liberation Sans Narrow");
}

// The windows' font at 8 points takes the place of the classic dialog font.
inline QFont windowFont() {
    QFont f(windowFontFamily());
    f.setPointSizeF(8);
    return f;
}

// Dialogs, menus, tips and the program's other windows take the windows' font
// unless an element has one of its own.
inline void useWindowFontThroughout() {
    QApplication::setFont(windowFont());
}

// "Arial" and "MS Sans Serif", in the windows' family.
inline QFont sansFont(double points, bool bold = false, bool italic = false) {
    QFont f(windowFontFamily());
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// "Courier New".
inline QFont monoFont(double points = 8.25) {
    QFont f(QStringLiteral("Liberation Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPointSizeF(points);
    return f;
}

// The pointing hand shown over the call sign, the product name and the links.
inline QCursor pointingHandCursor() {
    // The tip of the index finger is the hot spot.
    return QCursor(QIcon(QStringLiteral(":/icons/pointing-hand.svg")).pixmap(32, 32), 14, 8);
}

// Labels marked "autoSize" take the size of their text, as the form gives
// only where they start.
inline void sizeLabelsToText(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->property("autoSize").toBool())
            label->adjustSize();
}

// Labels that show data show it as it stands: no markup is interpreted.
inline void showLabelsAsPlainText(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);
}

// A tip shows its text as it stands, line breaks kept: tips take markup of
// their own accord, so the text goes in escaped.
inline QString plainTip(const QString& text) {
    if (text.isEmpty())
        return text;
    return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

// A tip of two lines: the element's own tip, then `line`; `line` alone when
// the element has no tip of its own.
inline QString tipWithLine(const QString& ownTip, const QString& line) {
    return plainTip(ownTip.isEmpty() ? line : ownTip + QLatin1Char('\n') + line);
}

// `path` fitted into `width` pixels: its folders lose their middle first, so
// the file name stays whole as long as it fits at all.
inline QString elidePath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype nameStart =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    const QString name = path.mid(nameStart);
    const int folderRoom = width - metrics.horizontalAdvance(name);
    if (nameStart == 0 || folderRoom < metrics.horizontalAdvance(QStringLiteral("/\u2026/")))
        return metrics.elidedText(name, Qt::ElideMiddle, width);
    return metrics.elidedText(path.left(nameStart), Qt::ElideMiddle, folderRoom) + name;
}

// `label` shows `shown`, which is `whole` cut to fit; a label cut short tells
// `whole` in its tip, below the tip it has of its own.
inline void showCutText(QLabel* label, const QString& whole, const QString& shown) {
    if (!label->property("ownTip").isValid())
        label->setProperty("ownTip", label->toolTip());
    const QString ownTip = label->property("ownTip").toString();
    label->setToolTip(shown == whole ? ownTip : tipWithLine(ownTip, whole));
    label->setText(shown);
    if (label->property("autoSize").toBool())
        label->adjustSize();
}

inline void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    w->setPalette(p);
}

inline void setBackground(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace tallix::ui
