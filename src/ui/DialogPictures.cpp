#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "ui/Pictures.h"

// The pictures of the working windows: the work-order editor, the export and
// print-choice windows and the edit windows of the lists.

namespace zomi {

namespace {

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
