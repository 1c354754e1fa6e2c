#pragma once

#include <QObject>

namespace zomi {

// Turns every mouse-wheel turn of the application into an Up or Down arrow
// key for the widget under it: the wheel moves one row per notch, as the
// arrow keys do.
class WheelAsArrowKeys : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zomi
