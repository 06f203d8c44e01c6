#include "ui/classic_looks.h"

#include <QPainter>
#include <QProxyStyle>
#include <QRadioButton>
#include <QStyleOptionFocusRect>

namespace tallix::ui {

namespace {

constexpr int TitleLeft = 6; // where the title starts, from the frame's left edge
constexpr int TitleGap = 2;  // the line stops this far either side of the title

class OptionIndicatorStyle : public QProxyStyle {
public:
    explicit OptionIndicatorStyle(int size) : size_(size) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight)
            return size_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int size_;
};

} // namespace

int TitledFrame::lineRow() const {
    return fontMetrics().height() / 2;
}

void TitledFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int top = lineRow();
    // Etched: a shadow line with a light one one pixel right of and below it.
    const QRect outline = rect().adjusted(0, top, -2, -2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(outline);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(outline.translated(1, 1));

    if (title().isEmpty())
        return;
    const QRect text(TitleLeft, 0, metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(text.adjusted(-TitleGap, 0, TitleGap, 0), palette().color(QPalette::Window));
    const bool own = titleColour_.isValid() && isEnabled();
    painter.setPen(own ? titleColour_
                       : palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                         QPalette::WindowText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = contentsRect();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

void fitOptionIndicators(QWidget* owner, std::initializer_list<QRadioButton*> options, int size) {
    auto* style = new OptionIndicatorStyle(size);
    style->setParent(owner);
    for (QRadioButton* option : options)
        option->setStyle(style);
}

} // namespace tallix::ui
