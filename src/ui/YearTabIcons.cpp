#include <QPainter>
#include <QPainterPath>

#include "ui/Pictures.h"

// The icons of the register's year tabs: arrows to the earlier and the
// later years.

namespace zomi {

namespace {

QPainterPath arrow(bool pointsLeft, const QRectF& box) {
    const qreal midY = box.center().y();
    const qreal tipX = pointsLeft ? box.left() : box.right();
    const qreal baseX =
        pointsLeft ? box.left() + box.width() * 0.55 : box.right() - box.width() * 0.55;
    const qreal tailX = pointsLeft ? box.right() : box.left();
    const qreal shaft = box.height() * 0.18;
    QPainterPath path;
    path.moveTo(tipX, midY);
    path.lineTo(baseX, box.top());
    path.lineTo(baseX, midY - shaft);
    path.lineTo(tailX, midY - shaft);
    path.lineTo(tailX, midY + shaft);
    path.lineTo(baseX, midY + shaft);
    path.lineTo(baseX, box.bottom());
    path.closeSubpath();
    return path;
}

QIcon arrowIcon(bool left, bool right) {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    if (left && right) {
        p.setBrush(QColor(30, 90, 200));
        p.drawPath(arrow(true, QRectF(0.5, 1.5, 9, 7)));
        p.setBrush(QColor(210, 30, 30));
        p.drawPath(arrow(false, QRectF(6.5, 7.5, 9, 7)));
    } else {
        p.setBrush(left ? QColor(30, 90, 200) : QColor(210, 30, 30));
        p.drawPath(arrow(left, QRectF(1.5, 2.5, 13, 11)));
    }
    return QIcon(pixmap);
}

}  // namespace

QList<QIcon> YearTabIconList() {
    QList<QIcon> icons{arrowIcon(true, false)};
    const QIcon red = arrowIcon(false, true);
    for (int i = 1; i <= 24; ++i) icons << red;
    icons << arrowIcon(true, true);
    return icons;
}

QList<QIcon> YearTabIcons(int yearTabs) {
    QList<QIcon> icons = YearTabIconList();
    for (int i = 0; i < 25 - yearTabs; ++i) icons.removeAt(1);
    return icons;
}

}  // namespace zomi
