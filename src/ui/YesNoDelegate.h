#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace zomi {

// A grid column of yes/no values shown as one of two pictures instead of the
// text: the first for "I", the second for anything else (NULL and "N" alike).
// The cell is filled with its background first, the selection colour in the
// selected row.
class YesNoDelegate : public QStyledItemDelegate {
  public:
    // The picture stands left pixels right of the cell's left edge, or in the
    // middle of the cell when left is negative, and top pixels below its top.
    YesNoDelegate(const QPixmap& yes, const QPixmap& no, int left, int top, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    QPixmap yes_;
    QPixmap no_;
    int left_;
    int top_;
};

}  // namespace zomi
