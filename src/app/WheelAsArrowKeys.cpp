#include "app/WheelAsArrowKeys.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace zomi {

bool WheelAsArrowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel) return QObject::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget) return QObject::eventFilter(watched, event);
    // A scroll area's viewport gets the wheel; its keys go to the area itself.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget->parentWidget());
        area && area->viewport() == widget)
        widget = area;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int key = wheel->angleDelta().y() > 0 ? Qt::Key_Up : Qt::Key_Down;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QCoreApplication::sendEvent(widget, &release);
    return true;
}

}  // namespace zomi
