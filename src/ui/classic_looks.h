#pragma once
// Elements drawn as the layout was made for: a titled frame whose etched line
// runs through the middle of its title, a picture box that shows when it has
// the focus, and option buttons whose circles fit rows 13 pixels apart.

#include <QColor>
#include <QGroupBox>
#include <QLabel>

#include <initializer_list>

class QRadioButton;

namespace tallix::ui {

// A frame with a title. The etched line runs at the title's mid-height, so
// what the frame holds sits below the line from the frame's top edge on.
class TitledFrame : public QGroupBox {
    Q_OBJECT

public:
    using QGroupBox::QGroupBox;

    void setTitleColour(const QColor& colour) {
        titleColour_ = colour;
        update();
    }
    // The row the frame's top line is drawn at.
    int lineRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor titleColour_;
};

// A bordered picture that can take the focus, and then shows the focus.
class PictureBox : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Option buttons stacked closer than the style's circles are tall: their
// circles shrink to `size` pixels. The style lives as long as `owner`.
void fitOptionIndicators(QWidget* owner, std::initializer_list<QRadioButton*> options, int size);

} // namespace tallix::ui
