#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStringList>

#include "ui/Pictures.h"

namespace zomi {

namespace {

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

// The SQL console's pictures.
void drawOpenFolder(QPainter& p) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(QRectF(2.5, 6.5, 17, 13));
    p.drawRect(QRectF(2.5, 4.5, 7, 2));
    QPolygonF flap;
    flap << QPointF(5.5, 10.5) << QPointF(22.5, 10.5) << QPointF(19.5, 19.5) << QPointF(2.5, 19.5);
    p.setBrush(QColor(250, 220, 120));
    p.drawPolygon(flap);
}

void drawDisk(QPainter& p) {
    p.setPen(QPen(QColor(30, 50, 110), 1));
    p.setBrush(QColor(60, 100, 190));
    p.drawRoundedRect(QRectF(3.5, 3.5, 17, 17), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 3.5, 11, 7));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(7.5, 14.5, 9, 6));
}

void drawExport(QPainter& p) {
    // A sheet of rows with an arrow leaving it.
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 13, 18));
    p.setPen(QPen(QColor(30, 130, 60), 1.4));
    for (double y = 6.5; y < 19; y += 3) p.drawLine(QPointF(4.5, y), QPointF(13.5, y));
    p.setPen(QPen(QColor(30, 90, 190), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(11, 14), QPointF(21.5, 14));
    p.drawLine(QPointF(18, 10.5), QPointF(21.5, 14));
    p.drawLine(QPointF(18, 17.5), QPointF(21.5, 14));
}

void drawRun(QPainter& p) {
    QPolygonF triangle;
    triangle << QPointF(6, 3.5) << QPointF(20.5, 12) << QPointF(6, 20.5);
    p.setPen(QPen(QColor(20, 110, 30), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(50, 170, 60));
    p.drawPolygon(triangle);
}

QPixmap toolPixmap(ToolPicture kind) {
    QPixmap pixmap = TransparentPixmap(kTool, kTool);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(2, 2, kTool - 4, kTool - 4);
    switch (kind) {
        case ToolPicture::New: {
            // A sheet with a green plus.
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 2.5, 13, 17));
            p.setPen(QPen(QColor(30, 150, 40), 3.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(17, 11), QPointF(17, 21));
            p.drawLine(QPointF(12, 16), QPointF(22, 16));
            break;
        }
        case ToolPicture::Edit: {
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
        case ToolPicture::Delete:
            drawCross(p, r, QColor(200, 30, 30), 3.5);
            break;
        case ToolPicture::Accept:
            drawTick(p, r, QColor(30, 150, 40), 3.5);
            break;
        case ToolPicture::Close: {
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
        case ToolPicture::Copy: {
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(235, 235, 235));
            p.drawRect(QRectF(3.5, 2.5, 11, 14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9.5, 7.5, 11, 14));
            break;
        }
        case ToolPicture::Search: {
            p.setPen(QPen(QColor(60, 60, 60), 2.2));
            p.setBrush(QColor(210, 230, 250));
            p.drawEllipse(QRectF(3, 3, 12, 12));
            p.setPen(QPen(QColor(60, 60, 60), 3.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(14, 14), QPointF(21, 21));
            break;
        }
        case ToolPicture::Open:
            drawOpenFolder(p);
            break;
        case ToolPicture::Save:
            drawDisk(p);
            break;
        case ToolPicture::Export:
            drawExport(p);
            break;
        case ToolPicture::Run:
            drawRun(p);
            break;
        case ToolPicture::Test: {
            // A database cylinder with a green tick: the connection answers.
            p.setPen(QPen(QColor(60, 80, 110), 1));
            p.setBrush(QColor(150, 180, 220));
            p.drawRect(QRectF(3.5, 5, 13, 13));
            p.drawEllipse(QRectF(3.5, 15, 13, 5));
            p.setPen(Qt::NoPen);
            p.drawRect(QRectF(4, 6, 12, 11));
            p.setPen(QPen(QColor(60, 80, 110), 1));
            p.setBrush(QColor(200, 220, 245));
            p.drawEllipse(QRectF(3.5, 2.5, 13, 5));
            drawTick(p, QRectF(11, 10, 12, 12), QColor(30, 150, 40), 3);
            break;
        }
    }
    return pixmap;
}

// A sheet of paper, the shape most record actions start from.
void drawRuledSheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(150, 170, 200), 1));
    for (qreal y = r.top() + 6; y < r.bottom() - 3; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

}  // namespace

QIcon ToolBarIcon(ToolPicture kind) { return QIcon(toolPixmap(kind)); }

QPixmap EmptyPicture() { return TransparentPixmap(16, 16); }

QPixmap CheckMarkPicture() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawTick(p, QRectF(1, 1, 14, 14), QColor(20, 20, 20), 2.2);
    return pixmap;
}

QPixmap GreenTickPicture() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawTick(p, QRectF(1, 1, 14, 14), QColor(20, 160, 40), 2.6);
    return pixmap;
}

QPixmap RedCrossPicture() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawCross(p, QRectF(0, 0, 16, 16), QColor(210, 25, 25), 2.6);
    return pixmap;
}

// A list with a pointer: "choose from the list".
QIcon ChooserIcon() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 1.5, 11, 13));
    p.setPen(QPen(QColor(40, 90, 170), 1.4));
    for (int y = 5; y <= 12; y += 3) p.drawLine(QPointF(4, y), QPointF(10, y));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 130, 40));
    QPainterPath arrow;
    arrow.moveTo(9, 8);
    arrow.lineTo(15, 11);
    arrow.lineTo(9, 14);
    arrow.closeSubpath();
    p.drawPath(arrow);
    return QIcon(pixmap);
}

// An equals sign on a key: "compute".
QIcon ComputeIcon() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(250, 235, 180));
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    p.setPen(QPen(QColor(150, 40, 30), 2));
    p.drawLine(QPointF(4.5, 6.5), QPointF(11.5, 6.5));
    p.drawLine(QPointF(4.5, 10.5), QPointF(11.5, 10.5));
    return QIcon(pixmap);
}

// A clipboard with a written sheet on it, for "Vágólapra!".
QIcon ClipboardIcon() {
    QPixmap pixmap = TransparentPixmap(16, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x1e), 1));
    p.setBrush(QColor(0xc8, 0x93, 0x4b));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 13), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 0.8));
    p.drawRect(QRectF(4.5, 4.5, 7, 9.5));
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1));
    for (double y = 7; y < 14; y += 2) p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    p.setBrush(QColor(0x9a, 0x9a, 0x9a));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(5, 1, 6, 3), 1, 1);
    return QIcon(pixmap);
}

QIcon RegisterIcon(const QString& name) {
    static const QStringList known{"aUj",           "aSzerkeszt",      "aTorol",   "aNyomtat",
                                   "aExcelbe",      "aStatuszBeallit", "aFrissit", "aBetuNovel",
                                   "aBetuCsokkent", "aHonlap",         "aKilep",   "aKoltseg"};
    if (!known.contains(name)) return QIcon();
    QPixmap pixmap = TransparentPixmap(32, 32);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("aUj")) {
        drawRuledSheet(p, QRectF(6, 3, 18, 25));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 160, 60));
        p.drawEllipse(QRectF(16, 16, 14, 14));
        p.setPen(QPen(Qt::white, 2.5));
        p.drawLine(QPointF(23, 19), QPointF(23, 27));
        p.drawLine(QPointF(19, 23), QPointF(27, 23));
    } else if (name == QLatin1String("aSzerkeszt")) {
        drawRuledSheet(p, QRectF(4, 3, 18, 25));
        p.setPen(QPen(QColor(120, 70, 20), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(28, 8), QPointF(14, 24));
        p.setPen(QPen(QColor(240, 200, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(27, 9), QPointF(15, 23));
    } else if (name == QLatin1String("aTorol")) {
        drawRuledSheet(p, QRectF(6, 3, 18, 25));
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
        const QColor colours[] = {QColor(196, 224, 255), QColor(255, 210, 255),
                                  QColor(193, 255, 224), QColor(255, 221, 221)};
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
    } else if (name == QLatin1String("aKoltseg")) {
        // A bar chart: the cost summary.
        p.setPen(QPen(QColor(60, 60, 60), 1.2));
        p.drawLine(QPointF(4, 28), QPointF(29, 28));
        const QColor colours[] = {QColor(70, 120, 190), QColor(230, 140, 50), QColor(90, 170, 90)};
        const double heights[] = {12, 21, 16};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(colours[i]);
            p.drawRect(QRectF(6 + i * 8, 28 - heights[i], 6, heights[i]));
        }
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
