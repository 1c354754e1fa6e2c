#include "app/RegisterIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zomi {

namespace {

QPainterPath arrow(bool pointsLeft, const QRectF& box) {
    const qreal midY = box.center().y();
    const qreal tipX = pointsLeft ? box.left() : box.right();
    const qreal baseX = pointsLeft ? box.left() + box.width() * 0.55 : box.right() - box.width() * 0.55;
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
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
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

QPixmap canvas(int size = 32) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet of paper, the shape most record actions start from.
void drawSheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 170, 200), 1));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 4) p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
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

QIcon RegisterIcon(const QString& name) {
    static const QStringList known{"aUj", "aSzerkeszt", "aTorol", "aNyomtat", "aExcelbe", "aStatuszBeallit",
                                   "aFrissit", "aBetuNovel", "aBetuCsokkent", "aHonlap", "aKilep"};
    if (!known.contains(name)) return QIcon();
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("aUj")) {
        drawSheet(p, QRectF(6, 3, 18, 25));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 160, 60));
        p.drawEllipse(QRectF(16, 16, 14, 14));
        p.setPen(QPen(Qt::white, 2.5));
        p.drawLine(QPointF(23, 19), QPointF(23, 27));
        p.drawLine(QPointF(19, 23), QPointF(27, 23));
    } else if (name == QLatin1String("aSzerkeszt")) {
        drawSheet(p, QRectF(4, 3, 18, 25));
        p.setPen(QPen(QColor(120, 70, 20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(28, 8), QPointF(14, 24));
        p.setPen(QPen(QColor(240, 200, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(27, 9), QPointF(15, 23));
    } else if (name == QLatin1String("aTorol")) {
        drawSheet(p, QRectF(6, 3, 18, 25));
        p.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 14), QPointF(28, 28));
        p.drawLine(QPointF(28, 14), QPointF(14, 28));
    } else if (name == QLatin1String("aNyomtat")) {
        p.setPen(QPen(QColor(70, 70, 70), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 150, 160));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));
    } else if (name == QLatin1String("aExcelbe")) {
        p.setPen(QPen(QColor(30, 110, 60), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 4, 24, 24));
        for (int i = 1; i < 4; ++i) {
            p.drawLine(QPointF(4, 4 + i * 6), QPointF(28, 4 + i * 6));
            p.drawLine(QPointF(4 + i * 6, 4), QPointF(4 + i * 6, 28));
        }
        p.fillRect(QRectF(4.5, 4.5, 23, 5.5), QColor(30, 130, 70));
    } else if (name == QLatin1String("aStatuszBeallit")) {
        p.setPen(QPen(QColor(80, 80, 80), 1));
        const QColor colours[] = {QColor(196, 224, 255), QColor(255, 210, 255), QColor(193, 255, 224), QColor(255, 221, 221)};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawRect(QRectF(4, 4 + i * 6.5, 24, 5.5));
        }
    } else if (name == QLatin1String("aFrissit")) {
        p.setPen(QPen(QColor(30, 120, 50), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(6, 6, 20, 20), 60 * 16, 270 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 120, 50));
        p.drawPolygon(QPolygonF({QPointF(19, 2), QPointF(27, 8), QPointF(18, 12)}));
    } else if (name == QLatin1String("aBetuNovel") || name == QLatin1String("aBetuCsokkent")) {
        const bool up = name == QLatin1String("aBetuNovel");
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(up ? 24 : 16);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(40, 40, 40));
        p.drawText(QRectF(0, 2, 24, 30), Qt::AlignCenter, QStringLiteral("A"));
        p.setPen(Qt::NoPen);
        p.setBrush(up ? QColor(40, 150, 60) : QColor(200, 60, 40));
        p.drawPolygon(up ? QPolygonF({QPointF(26, 4), QPointF(31, 12), QPointF(21, 12)})
                         : QPolygonF({QPointF(26, 28), QPointF(31, 20), QPointF(21, 20)}));
    } else if (name == QLatin1String("aHonlap")) {
        p.setPen(QPen(QColor(30, 80, 160), 1.5));
        p.setBrush(QColor(200, 225, 250));
        p.drawEllipse(QRectF(4, 4, 24, 24));
        p.drawEllipse(QRectF(11, 4, 10, 24));
        p.drawLine(QPointF(4, 16), QPointF(28, 16));
        p.drawLine(QPointF(6, 10), QPointF(26, 10));
        p.drawLine(QPointF(6, 22), QPointF(26, 22));
    } else if (name == QLatin1String("aKilep")) {
        p.setPen(QPen(QColor(90, 60, 30), 1.2));
        p.setBrush(QColor(170, 120, 70));
        p.drawRect(QRectF(6, 3, 14, 26));
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(29, 16));
        p.drawLine(QPointF(24, 11), QPointF(29, 16));
        p.drawLine(QPointF(24, 21), QPointF(29, 16));
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace zomi
