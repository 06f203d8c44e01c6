#pragma once
// What every window of the program does to its elements: the fonts that take
// the place of the classic ones, the pointing hand, labels that size to their
// text, and colours.

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace tallix::ui {

// The windows' font: a narrow sans at 8 points takes the place of the classic
// dialog font, so every caption fits where the layout puts it.
inline QFont windowFont() {
    QFont f(QStringLiteral("Liberation Sans Narrow"));
    f.setPointSizeF(8);
    return f;
}

// "Arial" and "MS Sans Serif".
inline QFont sansFont(double points, bool bold = false, bool italic = false) {
    QFont f(QStringLiteral("Liberation Sans"));
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
