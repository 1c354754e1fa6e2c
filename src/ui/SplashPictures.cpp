#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include "ui/PictureDrawing.h"
#include "ui/Pictures.h"

// The two splash pictures, each a round badge on a transparent ground.

namespace zomi {

using pictures::drawProgramScene;
using pictures::pixelFont;
using pictures::scaleTo;

namespace {

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

}  // namespace zomi
