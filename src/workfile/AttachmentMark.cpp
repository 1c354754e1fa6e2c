#include "workfile/AttachmentMark.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zomi {

QIcon PaperClipIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(70, 70, 90), 1.4, Qt::SolidLine, Qt::RoundCap));
        QPainterPath clip;
        clip.moveTo(10.5, 5);
        clip.lineTo(10.5, 12);
        clip.arcTo(6.5, 10, 4, 4, 0, -180);
        clip.lineTo(6.5, 3.5);
        clip.arcTo(6.5, 1, 6, 5, 180, -180);
        clip.lineTo(12.5, 12.5);
        painter.drawPath(clip);
        return QIcon(pixmap);
    }();
    return icon;
}

AttachmentMark::AttachmentMark(std::function<int(int row)> keyOfRow, QObject* parent)
    : QStyledItemDelegate(parent), keyOfRow_(std::move(keyOfRow)) {}

bool AttachmentMark::marks(int row) const {
    return !keys_.isEmpty() && keys_.contains(keyOfRow_(row));
}

void AttachmentMark::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (!marks(index.row())) return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = PaperClipIcon();
    option->decorationSize = QSize(16, 16);
}

}  // namespace zomi
