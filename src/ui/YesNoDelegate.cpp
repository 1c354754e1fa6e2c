#include "ui/YesNoDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace zomi {

YesNoDelegate::YesNoDelegate(const QPixmap& yes, const QPixmap& no, int left, int top,
                             QObject* parent)
    : QStyledItemDelegate(parent), yes_(yes), no_(no), left_(left), top_(top) {}

void YesNoDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    const bool yes = index.data(Qt::EditRole).toString() == QLatin1String("I");
    const QPixmap& picture = yes ? yes_ : no_;
    const int x = left_ < 0 ? option.rect.left() + (option.rect.width() - picture.width()) / 2
                            : option.rect.left() + left_;
    painter->drawPixmap(x, option.rect.top() + top_, picture);
}

}  // namespace zomi
