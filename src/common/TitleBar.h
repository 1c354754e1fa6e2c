#pragma once

// Where a window may be put back: a saved position from another screen
// arrangement, or from a window manager that moved the window partly off the
// screen, must not leave a title bar the user cannot reach.

#include <QList>
#include <QPoint>
#include <QRect>

namespace zomi {

// The title bar counts as on a screen when a piece of it this wide, of its
// whole height, lies in the screen's available area.
inline constexpr int kTitleBarGrip = 40;

// The frame's top-left corner, unchanged when the title bar (the top
// titleBarHeight pixels of the frame) is on one of the screens; otherwise
// moved as little as needed onto the nearest screen. Unchanged without screens.
QPoint KeepTitleBarOnScreen(const QRect& frame, int titleBarHeight, const QList<QRect>& screens);

}  // namespace zomi
