#include "app/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace zomi {

namespace {

const QColor kInk(0x26, 0x32, 0x3c);
const QColor kSheetBlue(0x2b, 0x57, 0x97);
const QColor kSteelDark(0x4a, 0x53, 0x5a);

QPixmap transparentPixmap(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Every picture is drawn in a square of 256 units and scaled to the size asked.
void scaleTo(QPainter& p, int width, int height) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(width / 256.0, height / 256.0);
}

QFont pixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The work sheet, upright, in the box (40, 20)-(216, 236).
void drawSheet(QPainter& p) {
    p.save();
    QPainterPath paper;
    paper.moveTo(40, 20);
    paper.lineTo(190, 20);
    paper.lineTo(216, 46);
    paper.lineTo(216, 236);
    paper.lineTo(40, 236);
    paper.closeSubpath();

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawPath(paper.translated(6, 7));

    QLinearGradient paperShade(40, 20, 216, 236);
    paperShade.setColorAt(0, QColor(0xff, 0xff, 0xff));
    paperShade.setColorAt(1, QColor(0xec, 0xef, 0xf3));
    p.setBrush(paperShade);
    p.setPen(QPen(QColor(0x9a, 0xa5, 0xb1), 2));
    p.drawPath(paper);

    QPainterPath fold;
    fold.moveTo(190, 20);
    fold.lineTo(190, 46);
    fold.lineTo(216, 46);
    fold.closeSubpath();
    p.setBrush(QColor(0xd5, 0xdb, 0xe2));
    p.drawPath(fold);

    // Header band with the form's title.
    p.setPen(Qt::NoPen);
    p.setBrush(kSheetBlue);
    p.drawRoundedRect(QRectF(52, 32, 128, 24), 3, 3);
    p.setPen(Qt::white);
    p.setFont(pixelFont(QStringLiteral("Arial"), 15, true));
    p.drawText(QRectF(52, 32, 128, 24), Qt::AlignCenter, QStringLiteral("MUNKALAP"));

    // Labelled fields: a short dark label and a longer filled-in value.
    for (int row = 0; row < 5; ++row) {
        const qreal y = 72 + row * 15;
        p.setBrush(QColor(0x6b, 0x77, 0x83));
        p.drawRoundedRect(QRectF(52, y, 30, 6), 2, 2);
        p.setBrush(QColor(0xb7, 0xc3, 0xd0));
        p.drawRoundedRect(QRectF(90, y, 110 - (row % 2) * 34, 6), 2, 2);
    }

    // The fee table.
    p.setBrush(QColor(0xf6, 0xf8, 0xfb));
    p.setPen(QPen(QColor(0x8d, 0x99, 0xa6), 1.5));
    const QRectF table(52, 152, 150, 48);
    p.drawRect(table);
    p.drawLine(QPointF(52, 168), QPointF(202, 168));
    p.drawLine(QPointF(52, 184), QPointF(202, 184));
    p.drawLine(QPointF(112, 152), QPointF(112, 200));
    p.drawLine(QPointF(158, 152), QPointF(158, 200));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xa9, 0xb6, 0xc3));
    for (int r = 0; r < 3; ++r) {
        p.drawRect(QRectF(58, 157 + r * 16, 40, 5));
        p.drawRect(QRectF(166, 157 + r * 16, 28, 5));
    }

    // The signatory's scrawl.
    QPainterPath signature;
    signature.moveTo(128, 222);
    signature.cubicTo(136, 204, 144, 230, 152, 214);
    signature.cubicTo(158, 204, 162, 226, 172, 216);
    signature.cubicTo(178, 210, 186, 222, 200, 214);
    p.setPen(QPen(kSheetBlue, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(signature);
    p.setPen(QPen(QColor(0x9a, 0xa5, 0xb1), 1));
    p.drawLine(QPointF(124, 226), QPointF(206, 226));
    p.restore();
}

// An open-ended spanner along the x axis, its jaw at +x, centred on (0, 0),
// 200 units long.
void drawWrench(QPainter& p) {
    p.save();
    QPainterPath body;
    body.addRoundedRect(QRectF(-78, -10, 150, 20), 8, 8);
    body.addEllipse(QPointF(78, 0), 27, 27);
    body.addEllipse(QPointF(-84, 0), 19, 19);
    body.setFillRule(Qt::WindingFill);
    body = body.simplified();

    QPainterPath jaw;
    jaw.addRect(QRectF(78, -10, 40, 20));
    jaw.addEllipse(QPointF(80, 0), 11, 11);
    QPainterPath ring;
    ring.addEllipse(QPointF(-84, 0), 9, 9);
    const QPainterPath wrench = body.subtracted(jaw).subtracted(ring);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPath(wrench.translated(4, 6));

    QLinearGradient steel(0, -27, 0, 27);
    steel.setColorAt(0.0, QColor(0xf4, 0xf6, 0xf8));
    steel.setColorAt(0.45, QColor(0xb4, 0xbd, 0xc5));
    steel.setColorAt(0.55, QColor(0x8c, 0x96, 0x9f));
    steel.setColorAt(1.0, QColor(0xcf, 0xd5, 0xda));
    p.setBrush(steel);
    p.setPen(QPen(kSteelDark, 2.5));
    p.drawPath(wrench);

    // A groove along the handle, as pressed steel has.
    p.setPen(QPen(QColor(0x6f, 0x79, 0x82), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-56, 0), QPointF(46, 0));
    p.restore();
}

// The work sheet tilted slightly with the wrench laid across its corner.
void drawProgramScene(QPainter& p) {
    p.save();
    p.translate(128, 128);
    p.rotate(-5);
    p.translate(-128, -128);
    drawSheet(p);
    p.restore();

    p.save();
    p.translate(150, 176);
    p.rotate(-38);
    p.scale(0.82, 0.82);
    drawWrench(p);
    p.restore();
}

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

// The badge both splash pictures stand on: a disc with a light rim.
void drawBadge(QPainter& p, qreal radius, const QColor& inner, const QColor& outer) {
    QRadialGradient fill(QPointF(128, 100), radius * 1.3);
    fill.setColorAt(0, inner);
    fill.setColorAt(1, outer);
    p.setBrush(fill);
    p.setPen(QPen(QColor(0xf2, 0xf6, 0xfb), 5));
    p.drawEllipse(QPointF(128, 128), radius, radius);
}

void drawSnowflake(QPainter& p, const QPointF& centre, qreal size) {
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 220), size / 6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const qreal a = i * M_PI / 3;
        const QPointF d(qCos(a) * size, qSin(a) * size);
        p.drawLine(centre - d, centre + d);
    }
    p.restore();
}

void drawFirTree(QPainter& p) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6b, 0x3e, 0x1e));
    p.drawRect(QRectF(121, 188, 14, 16));
    const QColor greens[] = {QColor(0x1f, 0x7a, 0x3a), QColor(0x23, 0x8c, 0x42),
                             QColor(0x2a, 0x9d, 0x4b)};
    for (int tier = 0; tier < 3; ++tier) {
        const qreal top = 82 + tier * 29;
        const qreal half = 30 + tier * 12;
        QPainterPath branch;
        branch.moveTo(128, top);
        branch.lineTo(128 + half, top + 52);
        branch.lineTo(128 - half, top + 52);
        branch.closeSubpath();
        p.setBrush(greens[tier]);
        p.drawPath(branch);
        // Snow lying on the branch's edge.
        p.setPen(QPen(QColor(255, 255, 255, 200), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(128 - half + 4, top + 50), QPointF(128 + half - 4, top + 50));
        p.setPen(Qt::NoPen);
    }
    const struct {
        qreal x, y;
        QColor colour;
    } baubles[] = {{112, 128, QColor(0xe5, 0x39, 0x35)}, {146, 140, QColor(0xfd, 0xd8, 0x35)},
                   {128, 156, QColor(0x42, 0xa5, 0xf5)}, {102, 176, QColor(0xfd, 0xd8, 0x35)},
                   {156, 178, QColor(0xe5, 0x39, 0x35)}, {132, 114, QColor(0xab, 0x47, 0xbc)}};
    for (const auto& b : baubles) {
        p.setBrush(b.colour);
        p.drawEllipse(QPointF(b.x, b.y), 5, 5);
    }
    // The star on the top.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? 13 : 5.5;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        const QPointF pt(128 + qCos(a) * r, 78 + qSin(a) * r);
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    p.setBrush(QColor(0xff, 0xd5, 0x4f));
    p.setPen(QPen(QColor(0xc7, 0x8f, 0x00), 1.2));
    p.drawPath(star);
    p.restore();
}

}  // namespace

QPixmap ProgramPicture(int size) {
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawProgramScene(p);
    return pixmap;
}

QPixmap ChooserPicture(int size) {
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawCylinder(p, QRectF(104, 14, 130, 168), QColor(0x8a, 0x9b, 0xad));
    drawCylinder(p, QRectF(24, 56, 150, 190), QColor(0x2f, 0x6f, 0xc0));
    drawCheckBadge(p, QPointF(196, 200), 46);
    return pixmap;
}

QPixmap SetUpPicture(int size) {
    QPixmap pixmap = transparentPixmap(size, size);
    QPainter p(&pixmap);
    scaleTo(p, size, size);
    drawCylinder(p, QRectF(16, 12, 150, 200), QColor(0x2f, 0x6f, 0xc0));
    drawPlug(p);
    return pixmap;
}

QPixmap SettingsPicture(int width, int height) {
    QPixmap pixmap = transparentPixmap(width, height);
    QPainter p(&pixmap);
    scaleTo(p, width, height);
    drawGear(p, QPointF(110, 112), 100, 10, QColor(0x5b, 0x7c, 0x99));
    drawPadlock(p, QRectF(150, 132, 90, 112));
    return pixmap;
}

QPixmap SplashPicture() {
    QPixmap pixmap = transparentPixmap(305, 305);
    QPainter p(&pixmap);
    scaleTo(p, 305, 305);
    drawBadge(p, 124, QColor(0x4f, 0x8f, 0xdb), QColor(0x17, 0x3a, 0x6e));

    p.save();
    p.translate(128, 96);
    p.scale(0.5, 0.5);
    p.translate(-128, -128);
    drawProgramScene(p);
    p.restore();

    p.setPen(Qt::white);
    p.setFont(pixelFont(QStringLiteral("Arial"), 40, true));
    p.drawText(QRectF(28, 158, 200, 44), Qt::AlignCenter, QStringLiteral("Zomi"));
    p.setPen(QColor(0xd8, 0xe6, 0xf7));
    p.setFont(pixelFont(QStringLiteral("Arial"), 14, false));
    p.drawText(QRectF(28, 200, 200, 20), Qt::AlignCenter, QStringLiteral("Munkalap nyilvántartó"));
    return pixmap;
}

QPixmap SeasonalSplashPicture() {
    QPixmap pixmap = transparentPixmap(300, 300);
    QPainter p(&pixmap);
    scaleTo(p, 300, 300);
    drawBadge(p, 124, QColor(0x2c, 0x5c, 0xa8), QColor(0x0b, 0x1d, 0x3f));

    p.save();
    QPainterPath disc;
    disc.addEllipse(QPointF(128, 128), 121, 121);
    p.setClipPath(disc);
    const QPointF flakes[] = {{60, 70},   {92, 44},  {170, 52},  {204, 86}, {48, 120},
                              {212, 138}, {74, 168}, {188, 176}, {150, 34}, {84, 100}};
    for (int i = 0; i < 10; ++i) drawSnowflake(p, flakes[i], 4 + (i % 3) * 2);
    // Snowdrifts at the foot of the tree.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xee, 0xf4, 0xfb));
    p.drawEllipse(QRectF(-20, 196, 190, 90));
    p.setBrush(QColor(0xdd, 0xe8, 0xf5));
    p.drawEllipse(QRectF(100, 204, 190, 80));
    p.restore();

    drawFirTree(p);

    p.setPen(QColor(0x17, 0x3a, 0x6e));
    p.setFont(pixelFont(QStringLiteral("Arial"), 22, true));
    p.drawText(QRectF(28, 212, 200, 24), Qt::AlignCenter, QStringLiteral("Zomi"));
    p.setFont(pixelFont(QStringLiteral("Arial"), 12, true));
    p.drawText(QRectF(28, 234, 200, 16), Qt::AlignCenter, QStringLiteral("Kellemes ünnepeket!"));
    return pixmap;
}

}  // namespace zomi
