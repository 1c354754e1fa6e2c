#include "ui/Pictures.h"

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

// ---- the print choices, in 96-unit space

const QColor kOutline(0x4a, 0x55, 0x5e);
const QColor kPaperLine(0xb8, 0xc4, 0xcc);

// A sheet of paper with a folded corner and written lines, in 96-unit space.
void drawPaper(QPainter& p, const QRectF& sheet, bool lines = true) {
    const double fold = sheet.width() * 0.22;
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - fold, sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + fold);
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(0xe4, 0xe9, 0xee));
    p.drawPath(corner);
    if (!lines) return;
    p.setPen(QPen(kPaperLine, 2));
    for (double y = sheet.top() + fold + 8; y < sheet.bottom() - 6; y += 8)
        p.drawLine(QPointF(sheet.left() + 7, y), QPointF(sheet.right() - 7, y));
}

void drawPreview(QPainter& p) {
    drawPaper(p, QRectF(14, 8, 56, 74));
    // A magnifying glass over the sheet.
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x1e), 9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(70, 70), QPointF(86, 86));
    QRadialGradient glass(QPointF(52, 52), 22);
    glass.setColorAt(0, QColor(220, 238, 255, 170));
    glass.setColorAt(1, QColor(150, 195, 240, 170));
    p.setBrush(glass);
    p.setPen(QPen(QColor(0x2c, 0x3e, 0x50), 5));
    p.drawEllipse(QPointF(54, 54), 20, 20);
}

void drawPrinter(QPainter& p) {
    // The paper waiting at the top and the printed sheet coming out below.
    drawPaper(p, QRectF(28, 6, 40, 30), false);
    QLinearGradient body(0, 32, 0, 70);
    body.setColorAt(0, QColor(0xd5, 0xdb, 0xe0));
    body.setColorAt(1, QColor(0x8e, 0x99, 0xa3));
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(8, 32, 80, 38), 6, 6);
    p.setBrush(QColor(0x3b, 0x44, 0x4b));
    p.drawRect(QRectF(22, 58, 52, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xc0, 0x5a));
    p.drawEllipse(QPointF(77, 42), 3, 3);
    drawPaper(p, QRectF(24, 61, 48, 30));
}

void drawExport(QPainter& p) {
    const QRectF sheet(12, 8, 62, 78);
    p.setPen(QPen(kOutline, 1.6));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x73, 0x46));
    p.drawRect(QRectF(sheet.left() + 1, sheet.top() + 1, sheet.width() - 2, 12));
    p.setPen(QPen(kPaperLine, 1.2));
    for (double y = sheet.top() + 24; y < sheet.bottom() - 2; y += 10)
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
    for (double x = sheet.left() + 20; x < sheet.right() - 2; x += 20)
        p.drawLine(QPointF(x, sheet.top() + 14), QPointF(x, sheet.bottom() - 3));
    // "CSV" on a label stuck over the corner.
    p.setPen(QPen(QColor(0x14, 0x46, 0x7d), 1.4));
    p.setBrush(QColor(0x4f, 0xa3, 0xe0));
    p.drawRoundedRect(QRectF(44, 58, 46, 26), 4, 4);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(44, 58, 46, 26), Qt::AlignCenter, QStringLiteral("CSV"));
}

void drawPdf(QPainter& p) {
    drawPaper(p, QRectF(16, 6, 60, 82));
    p.setPen(QPen(QColor(0x8b, 0x10, 0x10), 1.4));
    p.setBrush(QColor(0xd3, 0x2f, 0x2f));
    p.drawRoundedRect(QRectF(8, 50, 56, 26), 4, 4);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(8, 50, 56, 26), Qt::AlignCenter, QStringLiteral("PDF"));
}

void roundedBackground(QPainter& p, int size, const QColor& top, const QColor& bottom) {
    QLinearGradient gradient(0, 0, 0, size);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), size * 0.12, size * 0.12);
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

QPixmap SplashPicture() {
    QPixmap pixmap = TransparentPixmap(305, 305);
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
    QPixmap pixmap = TransparentPixmap(300, 300);
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

// A work sheet on a clipboard with a spanner across it.
QPixmap WorkOrderPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    p.setPen(QPen(QColor(110, 70, 30), 2));
    p.setBrush(QColor(190, 140, 80));
    p.drawRoundedRect(QRectF(18, 10, 84, 110), 6, 6);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(26, 22, 68, 90));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(44, 4, 32, 14), 4, 4);
    p.setPen(QPen(QColor(70, 110, 180), 3));
    for (int y = 36; y <= 96; y += 12) p.drawLine(QPointF(34, y), QPointF(y % 24 ? 86 : 72, y));
    p.translate(88, 80);
    p.rotate(-40);
    p.setPen(QPen(QColor(60, 60, 70), 2));
    p.setBrush(QColor(150, 160, 175));
    QPainterPath spanner;
    spanner.addRoundedRect(QRectF(-5, -4, 44, 8), 3, 3);
    spanner.addEllipse(QPointF(-8, 0), 11, 11);
    spanner.setFillRule(Qt::WindingFill);
    p.drawPath(spanner.simplified());
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(60, 60, 70), 1.5));
    p.drawRect(QRectF(-14, -4, 9, 8));
    return pixmap;
}

// A worksheet with a green title row and an arrow leaving it: what the
// export window makes of the rows.
QPixmap ExportPicture(int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 72.0, size / 72.0);

    const QRectF sheet(6, 6, 46, 56);
    p.setPen(QPen(QColor(0x5f, 0x6b, 0x73), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(sheet, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x73, 0x46));
    p.drawRect(QRectF(sheet.left() + 1, sheet.top() + 1, sheet.width() - 2, 10));
    p.setPen(QPen(QColor(0xb8, 0xc4, 0xcc), 1));
    for (double y = sheet.top() + 20; y < sheet.bottom() - 2; y += 9)
        p.drawLine(QPointF(sheet.left() + 3, y), QPointF(sheet.right() - 3, y));
    for (double x = sheet.left() + 15; x < sheet.right() - 2; x += 15)
        p.drawLine(QPointF(x, sheet.top() + 12), QPointF(x, sheet.bottom() - 3));

    QPainterPath arrow;
    arrow.moveTo(34, 40);
    arrow.lineTo(52, 40);
    arrow.lineTo(52, 32);
    arrow.lineTo(68, 47);
    arrow.lineTo(52, 62);
    arrow.lineTo(52, 54);
    arrow.lineTo(34, 54);
    arrow.closeSubpath();
    QLinearGradient fill(34, 32, 68, 62);
    fill.setColorAt(0, QColor(0x4f, 0xa3, 0xe0));
    fill.setColorAt(1, QColor(0x1c, 0x5f, 0xa8));
    p.setBrush(fill);
    p.setPen(QPen(QColor(0x14, 0x46, 0x7d), 1.2));
    p.drawPath(arrow);
    return pixmap;
}

QPixmap PrintChoicePicture(PrintChoice choice, int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 96.0, size / 96.0);
    switch (choice) {
        case PrintChoice::Preview:
            drawPreview(p);
            break;
        case PrintChoice::Printer:
            drawPrinter(p);
            break;
        case PrintChoice::Export:
            drawExport(p);
            break;
        case PrintChoice::Pdf:
            drawPdf(p);
            break;
    }
    return pixmap;
}

QPixmap DecorPicture(Decor kind, int size) {
    QPixmap pixmap = TransparentPixmap(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 96.0;
    p.scale(s, s);
    switch (kind) {
        case Decor::Contractor: {
            // A hard hat over a spanner.
            roundedBackground(p, 96, QColor(255, 236, 179), QColor(245, 190, 90));
            p.setPen(QPen(QColor(110, 110, 120), 7, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(26, 80), QPointF(70, 62));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(230, 120, 20));
            QPainterPath hat;
            hat.moveTo(20, 52);
            hat.cubicTo(20, 20, 76, 20, 76, 52);
            hat.closeSubpath();
            p.drawPath(hat);
            p.drawRoundedRect(QRectF(12, 50, 72, 9), 4, 4);
            p.setBrush(QColor(250, 170, 60));
            p.drawRect(QRectF(44, 24, 8, 26));
            break;
        }
        case Decor::Site: {
            // A house.
            roundedBackground(p, 96, QColor(210, 232, 255), QColor(140, 185, 235));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(190, 60, 50));
            QPolygonF roof;
            roof << QPointF(14, 48) << QPointF(48, 18) << QPointF(82, 48);
            p.drawPolygon(roof);
            p.setBrush(QColor(250, 245, 230));
            p.drawRect(QRectF(24, 46, 48, 34));
            p.setBrush(QColor(120, 80, 40));
            p.drawRect(QRectF(42, 58, 13, 22));
            p.setBrush(QColor(120, 170, 230));
            p.drawRect(QRectF(29, 53, 9, 9));
            p.drawRect(QRectF(59, 53, 9, 9));
            break;
        }
        case Decor::LookupTable: {
            // A card with lines on it.
            roundedBackground(p, 96, QColor(225, 245, 225), QColor(150, 205, 150));
            p.setPen(QPen(QColor(80, 110, 80), 2));
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(18, 14, 60, 70), 5, 5);
            p.setPen(QPen(QColor(90, 140, 90), 5, Qt::SolidLine, Qt::RoundCap));
            for (int y = 32; y <= 68; y += 12) p.drawLine(QPointF(30, y), QPointF(66, y));
            break;
        }
        case Decor::User: {
            // A person with a key.
            roundedBackground(p, 96, QColor(235, 225, 250), QColor(175, 155, 220));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(80, 70, 120));
            p.drawEllipse(QRectF(30, 14, 30, 30));
            QPainterPath body;
            body.moveTo(16, 84);
            body.cubicTo(16, 50, 74, 50, 74, 84);
            body.closeSubpath();
            p.drawPath(body);
            p.setPen(QPen(QColor(240, 190, 40), 5, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(62, 56, 16, 16));
            p.drawLine(QPointF(70, 72), QPointF(70, 88));
            p.drawLine(QPointF(70, 82), QPointF(76, 82));
            break;
        }
    }
    return pixmap;
}

}  // namespace zomi
