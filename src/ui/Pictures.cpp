#include "ui/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include "ui/PictureDrawing.h"

// The pictures of the start-up windows and the settings: the program's own,
// the database chooser and set-up, the settings dialog and the login.

namespace zomi {

using pictures::drawProgramScene;
using pictures::scaleTo;

namespace {

// A database cylinder of three stacked discs in the box at (x, y).
void drawCylinder(QPainter& p, const QRectF& box, const QColor& colour) {
    p.save();
    const qreal capHeight = box.height() * 0.24;
    const QRectF top(box.left(), box.top(), box.width(), capHeight);
    const QRectF bottom(box.left(), box.bottom() - capHeight, box.width(), capHeight);

    QPainterPath body;
    body.moveTo(box.left(), top.center().y());
    body.arcTo(bottom, 180, 180);
    body.lineTo(box.right(), top.center().y());
    body.arcTo(top, 0, -180);
    body.closeSubpath();

    QLinearGradient side(box.left(), 0, box.right(), 0);
    side.setColorAt(0.0, colour.darker(150));
    side.setColorAt(0.35, colour.lighter(135));
    side.setColorAt(1.0, colour.darker(170));
    p.setPen(QPen(colour.darker(220), box.width() / 40.0));
    p.setBrush(side);
    p.drawPath(body);

    // Seams between the discs.
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal y = top.top() + (box.height() - capHeight) * i / 3.0;
        p.drawArc(QRectF(box.left(), y, box.width(), capHeight), 180 * 16, 180 * 16);
    }

    QLinearGradient lid(box.left(), top.top(), box.right(), top.bottom());
    lid.setColorAt(0.0, colour.lighter(175));
    lid.setColorAt(1.0, colour.lighter(115));
    p.setBrush(lid);
    p.drawEllipse(top);
    p.restore();
}

void drawCheckBadge(QPainter& p, const QPointF& centre, qreal radius) {
    p.save();
    QRadialGradient green(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    green.setColorAt(0, QColor(0x7d, 0xd8, 0x6f));
    green.setColorAt(1, QColor(0x2e, 0x8b, 0x36));
    p.setBrush(green);
    p.setPen(QPen(Qt::white, radius / 5));
    p.drawEllipse(centre, radius, radius);
    QPainterPath tick;
    tick.moveTo(centre + QPointF(-radius * 0.45, 0));
    tick.lineTo(centre + QPointF(-radius * 0.1, radius * 0.38));
    tick.lineTo(centre + QPointF(radius * 0.5, -radius * 0.35));
    p.setPen(QPen(Qt::white, radius / 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    p.restore();
}

void drawPadlock(QPainter& p, const QRectF& box) {
    p.save();
    const qreal w = box.width();
    const QRectF shackle(box.left() + w * 0.2, box.top(), w * 0.6, box.height() * 0.7);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7b, 0x84, 0x8c), w * 0.13, Qt::SolidLine, Qt::FlatCap));
    QPainterPath arc;
    arc.moveTo(shackle.left(), shackle.center().y());
    arc.arcTo(shackle, 180, -180);
    p.drawPath(arc);

    const QRectF body(box.left(), box.top() + box.height() * 0.42, w, box.height() * 0.58);
    QLinearGradient brass(body.topLeft(), body.bottomRight());
    brass.setColorAt(0, QColor(0xf7, 0xd3, 0x5c));
    brass.setColorAt(1, QColor(0xc0, 0x8a, 0x1c));
    p.setBrush(brass);
    p.setPen(QPen(QColor(0x85, 0x5d, 0x10), w * 0.05));
    p.drawRoundedRect(body, w * 0.12, w * 0.12);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x32, 0x08));
    const QPointF hole(body.center().x(), body.top() + body.height() * 0.42);
    p.drawEllipse(hole, w * 0.1, w * 0.1);
    p.drawRect(QRectF(hole.x() - w * 0.04, hole.y(), w * 0.08, body.height() * 0.3));
    p.restore();
}

void drawGear(QPainter& p, const QPointF& centre, qreal outer, int teeth, const QColor& colour) {
    p.save();
    QPainterPath gear;
    const qreal inner = outer * 0.78;
    const qreal step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step;
        const QPointF points[] = {
            centre + QPointF(qCos(a - step * 0.30) * inner, qSin(a - step * 0.30) * inner),
            centre + QPointF(qCos(a - step * 0.17) * outer, qSin(a - step * 0.17) * outer),
            centre + QPointF(qCos(a + step * 0.17) * outer, qSin(a + step * 0.17) * outer),
            centre + QPointF(qCos(a + step * 0.30) * inner, qSin(a + step * 0.30) * inner),
        };
        if (i == 0)
            gear.moveTo(points[0]);
        else
            gear.lineTo(points[0]);
        for (int k = 1; k < 4; ++k) gear.lineTo(points[k]);
    }
    gear.closeSubpath();
    QPainterPath hub;
    hub.addEllipse(centre, outer * 0.32, outer * 0.32);
    gear = gear.subtracted(hub);

    QLinearGradient metal(centre - QPointF(outer, outer), centre + QPointF(outer, outer));
    metal.setColorAt(0, colour.lighter(150));
    metal.setColorAt(1, colour.darker(140));
    p.setBrush(metal);
    p.setPen(QPen(colour.darker(200), outer / 18));
    p.drawPath(gear);
    p.restore();
}

void drawPlug(QPainter& p) {
    p.save();
    p.translate(196, 190);
    p.rotate(-45);
    p.scale(1.45, 1.45);
    // The cable trails away behind the grip.
    QPainterPath cable;
    cable.moveTo(0, 20);
    cable.cubicTo(0, 40, -18, 44, -14, 66);
    p.setPen(QPen(QColor(0x33, 0x33, 0x33), 7, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);

    QLinearGradient grip(-22, 0, 22, 0);
    grip.setColorAt(0, QColor(0x2b, 0x2b, 0x2b));
    grip.setColorAt(0.4, QColor(0x6a, 0x6a, 0x6a));
    grip.setColorAt(1, QColor(0x20, 0x20, 0x20));
    p.setPen(QPen(QColor(0x10, 0x10, 0x10), 2));
    p.setBrush(grip);
    p.drawRoundedRect(QRectF(-20, -14, 40, 36), 7, 7);
    p.setBrush(QColor(0xd9, 0xb3, 0x4b));
    p.setPen(QPen(QColor(0x8a, 0x6b, 0x16), 1.5));
    p.drawRect(QRectF(-12, -36, 7, 23));
    p.drawRect(QRectF(5, -36, 7, 23));
    p.restore();
}

}  // namespace

QPixmap TransparentPixmap(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap ProgramPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawProgramScene(p);
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : kProgramIconSizes) icon.addPixmap(ProgramPicture(size));
    return icon;
}

QPixmap ChooserPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawCylinder(p, QRectF(104, 14, 130, 168), QColor(0x8a, 0x9b, 0xad));
    drawCylinder(p, QRectF(24, 56, 150, 190), QColor(0x2f, 0x6f, 0xc0));
    drawCheckBadge(p, QPointF(196, 200), 46);
    return pixmap;
}

QPixmap SetUpPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawCylinder(p, QRectF(16, 12, 150, 200), QColor(0x2f, 0x6f, 0xc0));
    drawPlug(p);
    return pixmap;
}

QPixmap SettingsPicture(int width, int height) {
    QPixmap pixmap = TransparentPixmap(width, height);
    QPainter p(&pixmap);
    scaleTo(p, width, height);
    drawGear(p, QPointF(110, 112), 100, 10, QColor(0x5b, 0x7c, 0x99));
    drawPadlock(p, QRectF(150, 132, 90, 112));
    return pixmap;
}

// A brass padlock with a key in front of it.
QPixmap LoginPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x7b, 0x84, 0x8c), 6, Qt::SolidLine, Qt::FlatCap));
    QPainterPath shackle;
    shackle.moveTo(14, 30);
    shackle.lineTo(14, 20);
    shackle.arcTo(QRectF(14, 4, 28, 30), 180, -180);
    shackle.lineTo(42, 30);
    p.drawPath(shackle);

    QLinearGradient brass(6, 26, 50, 60);
    brass.setColorAt(0, QColor(0xf7, 0xd3, 0x5c));
    brass.setColorAt(1, QColor(0xb8, 0x82, 0x18));
    p.setBrush(brass);
    p.setPen(QPen(QColor(0x85, 0x5d, 0x10), 1.6));
    p.drawRoundedRect(QRectF(6, 27, 44, 33), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x32, 0x08));
    p.drawEllipse(QPointF(28, 39), 4.5, 4.5);
    p.drawRect(QRectF(26.2, 39, 3.6, 11));

    // The key, silver, across the lower right corner.
    p.translate(46, 46);
    p.rotate(-40);
    QPainterPath key;
    key.addEllipse(QPointF(-9, 0), 7, 7);
    key.addRect(QRectF(-3, -2.2, 18, 4.4));
    key.addRect(QRectF(9, 2, 3, 4));
    key.addRect(QRectF(13, 2, 2.5, 3));
    key.setFillRule(Qt::WindingFill);
    QPainterPath hole;
    hole.addEllipse(QPointF(-10.5, 0), 2.6, 2.6);
    QLinearGradient steel(0, -7, 0, 7);
    steel.setColorAt(0, QColor(0xf1, 0xf4, 0xf6));
    steel.setColorAt(1, QColor(0x8c, 0x96, 0x9f));
    p.setBrush(steel);
    p.setPen(QPen(QColor(0x4a, 0x53, 0x5a), 1.2));
    p.drawPath(key.simplified().subtracted(hole));
    return pixmap;
}

}  // namespace zomi
