#include "masterdata/Kepek.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace zomi {

namespace {

QPixmap blank(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// Tool-bar pictures are drawn at 24 pixels, the size the tool bars show.
constexpr int kTool = 24;

void drawTick(QPainter& p, const QRectF& r, const QColor& color, double width) {
    QPainterPath path;
    path.moveTo(r.left() + r.width() * 0.12, r.top() + r.height() * 0.55);
    path.lineTo(r.left() + r.width() * 0.40, r.top() + r.height() * 0.82);
    path.lineTo(r.left() + r.width() * 0.88, r.top() + r.height() * 0.18);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawCross(QPainter& p, const QRectF& r, const QColor& color, double width) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    const double m = r.width() * 0.2;
    p.drawLine(QPointF(r.left() + m, r.top() + m), QPointF(r.right() - m, r.bottom() - m));
    p.drawLine(QPointF(r.right() - m, r.top() + m), QPointF(r.left() + m, r.bottom() - m));
}

QPixmap toolPixmap(ToolKep kind) {
    QPixmap pixmap = blank(kTool);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(2, 2, kTool - 4, kTool - 4);
    switch (kind) {
        case ToolKep::Uj: {
            // A sheet with a green plus.
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 2.5, 13, 17));
            p.setPen(QPen(QColor(30, 150, 40), 3.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(17, 11), QPointF(17, 21));
            p.drawLine(QPointF(12, 16), QPointF(22, 16));
            break;
        }
        case ToolKep::Szerkeszt: {
            // A pencil across a sheet.
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 2.5, 13, 17));
            p.translate(13, 12);
            p.rotate(45);
            p.setPen(QPen(QColor(120, 80, 20), 1));
            p.setBrush(QColor(240, 190, 60));
            p.drawRect(QRectF(-2.5, -10, 5, 15));
            p.setBrush(QColor(230, 200, 160));
            QPolygonF tip;
            tip << QPointF(-2.5, 5) << QPointF(2.5, 5) << QPointF(0, 10);
            p.drawPolygon(tip);
            break;
        }
        case ToolKep::Torol:
            drawCross(p, r, QColor(200, 30, 30), 3.5);
            break;
        case ToolKep::Elfogad:
            drawTick(p, r, QColor(30, 150, 40), 3.5);
            break;
        case ToolKep::Bezar: {
            // A door with an arrow leading out.
            p.setPen(QPen(QColor(90, 60, 30), 1));
            p.setBrush(QColor(170, 120, 70));
            p.drawRect(QRectF(3.5, 2.5, 10, 19));
            p.setPen(QPen(QColor(30, 90, 190), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(11, 12), QPointF(21, 12));
            p.drawLine(QPointF(17, 8), QPointF(21, 12));
            p.drawLine(QPointF(17, 16), QPointF(21, 12));
            break;
        }
        case ToolKep::Masol: {
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(235, 235, 235));
            p.drawRect(QRectF(3.5, 2.5, 11, 14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9.5, 7.5, 11, 14));
            break;
        }
        case ToolKep::Keres: {
            p.setPen(QPen(QColor(60, 60, 60), 2.2));
            p.setBrush(QColor(210, 230, 250));
            p.drawEllipse(QRectF(3, 3, 12, 12));
            p.setPen(QPen(QColor(60, 60, 60), 3.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(14, 14), QPointF(21, 21));
            break;
        }
    }
    return pixmap;
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

QIcon ToolBarIcon(ToolKep kind) { return QIcon(toolPixmap(kind)); }

QPixmap UresKep() { return blank(16); }

QPixmap PipaKep() {
    QPixmap pixmap = blank(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawTick(p, QRectF(1, 1, 14, 14), QColor(20, 20, 20), 2.2);
    return pixmap;
}

QPixmap ZoldPipa() {
    QPixmap pixmap = blank(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawTick(p, QRectF(1, 1, 14, 14), QColor(20, 160, 40), 2.6);
    return pixmap;
}

QPixmap PirosX() {
    QPixmap pixmap = blank(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawCross(p, QRectF(0, 0, 16, 16), QColor(210, 25, 25), 2.6);
    return pixmap;
}

QPixmap DecorPicture(DiszKep kind, int size) {
    QPixmap pixmap = blank(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 96.0;
    p.scale(s, s);
    switch (kind) {
        case DiszKep::Vallalkozo: {
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
        case DiszKep::Ktgh: {
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
        case DiszKep::Torzsadat: {
            // A card with lines on it.
            roundedBackground(p, 96, QColor(225, 245, 225), QColor(150, 205, 150));
            p.setPen(QPen(QColor(80, 110, 80), 2));
            p.setBrush(Qt::white);
            p.drawRoundedRect(QRectF(18, 14, 60, 70), 5, 5);
            p.setPen(QPen(QColor(90, 140, 90), 5, Qt::SolidLine, Qt::RoundCap));
            for (int y = 32; y <= 68; y += 12) p.drawLine(QPointF(30, y), QPointF(66, y));
            break;
        }
        case DiszKep::Felhasznalo: {
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
