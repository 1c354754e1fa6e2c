#include "common/TitleBar.h"

#include <algorithm>
#include <limits>

namespace zomi {

namespace {

int grip(const QRect& titleBar) { return std::min(kTitleBarGrip, titleBar.width()); }

bool onScreen(const QRect& titleBar, const QRect& screen) {
    const int overlap =
        std::min(titleBar.right(), screen.right()) - std::max(titleBar.left(), screen.left()) + 1;
    return titleBar.top() >= screen.top() && titleBar.bottom() <= screen.bottom() &&
           overlap >= grip(titleBar);
}

// Squared distance between the two rectangles, 0 when they meet.
qint64 distance(const QRect& a, const QRect& b) {
    const qint64 dx = std::max({0, b.left() - a.right(), a.left() - b.right()});
    const qint64 dy = std::max({0, b.top() - a.bottom(), a.top() - b.bottom()});
    return dx * dx + dy * dy;
}

}  // namespace

QPoint KeepTitleBarOnScreen(const QRect& frame, int titleBarHeight, const QList<QRect>& screens) {
    const QRect titleBar(frame.left(), frame.top(), frame.width(), std::max(1, titleBarHeight));
    const QRect* nearest = nullptr;
    qint64 best = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        if (onScreen(titleBar, screen)) return frame.topLeft();
        if (const qint64 d = distance(titleBar, screen); d < best) {
            best = d;
            nearest = &screen;
        }
    }
    if (!nearest) return frame.topLeft();
    const QRect& s = *nearest;
    const int lowestTop = std::max(s.top(), s.bottom() + 1 - titleBar.height());
    const int top = std::clamp(titleBar.top(), s.top(), lowestTop);
    const int need = std::min(grip(titleBar), s.width());
    const int leftmost = s.left() + need - titleBar.width();
    const int left =
        std::clamp(titleBar.left(), leftmost, std::max(leftmost, s.right() + 1 - need));
    return QPoint(left, top);
}

}  // namespace zomi
