#include "ui/PictureDrawing.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace zomi::pictures {

namespace {

const QColor kSheetBlue(0x2b, 0x57, 0x97);
const QColor kSteelDark(0x4a, 0x53, 0x5a);

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

}  // namespace

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

}  // namespace zomi::pictures
