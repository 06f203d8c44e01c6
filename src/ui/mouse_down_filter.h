#pragma once

#include <QEvent>
#include <QMouseEvent>
#include <QObject>

#include <functional>
#include <utility>

namespace tallix::ui {

// Reports every mouse press on the watched element, as its mouse-down event;
// the press itself goes on to the element.
class MouseDownFilter : public QObject {
public:
    MouseDownFilter(QObject* parent, std::function<void(const QMouseEvent&)> onPress)
        : QObject(parent), onPress_(std::move(onPress)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            onPress_(*static_cast<QMouseEvent*>(event));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(const QMouseEvent&)> onPress_;
};

} // namespace tallix::ui
