#pragma once

// The register's mark of the work orders that have files: a paper clip
// before the first column's text. The keys are read once per list load, one
// indexed query over the attachment table, so the list itself is not slowed.

#include <QSet>
#include <QStyledItemDelegate>
#include <functional>

namespace zomi {

class AttachmentMark : public QStyledItemDelegate {
    Q_OBJECT

  public:
    // keyOfRow gives the work order's key of a list row.
    AttachmentMark(std::function<int(int row)> keyOfRow, QObject* parent = nullptr);

    void setKeys(QSet<int> keys) { keys_ = std::move(keys); }
    bool marks(int row) const;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

  private:
    std::function<int(int row)> keyOfRow_;
    QSet<int> keys_;
};

// The paper clip, as the register and the editor's button show it.
QIcon PaperClipIcon();

}  // namespace zomi
