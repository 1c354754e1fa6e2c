#pragma once

#include "dbaccess/DatasetModel.h"

namespace zomi::dbaccess {

// A dataset model whose cells can be typed into when the dataset is an
// editable table. What is typed gathers in the dataset's edit buffer for the
// row being edited and shows there; the view posts the row when the user
// leaves it, or cancels it. Cells are edited as text in the server's form
// ("2024-03-05", "12.5"); an emptied cell stores NULL.
class EditableDatasetModel : public DatasetModel {
    Q_OBJECT

  public:
    using DatasetModel::DatasetModel;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    bool editable() const;
    // The row whose typed values are not posted yet, or -1.
    int pendingRow() const;

  signals:
    // A value the dataset refused, with its message; nothing was changed.
    void editRefused(const QString& message);
};

}  // namespace zomi::dbaccess
