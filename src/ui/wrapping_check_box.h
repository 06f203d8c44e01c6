#pragma once

#include <QCheckBox>

namespace tallix::ui {

// A check box whose caption wraps onto further lines when the box is tall
// enough, as "Remove Your TX Frames" does in its narrow place.
class WrappingCheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace tallix::ui
