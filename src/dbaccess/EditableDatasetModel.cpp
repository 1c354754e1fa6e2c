#include "dbaccess/EditableDatasetModel.h"

namespace zomi::dbaccess {

bool EditableDatasetModel::editable() const {
    return qobject_cast<Table*>(dataset()) != nullptr && dataset()->isOpen();
}

int EditableDatasetModel::pendingRow() const {
    const Dataset* d = dataset();
    if (!d) return -1;
    return d->state() == Dataset::State::Edit || d->state() == Dataset::State::Insert
               ? d->currentRow()
               : -1;
}

Qt::ItemFlags EditableDatasetModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = DatasetModel::flags(index);
    if (index.isValid() && editable()) flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant EditableDatasetModel::data(const QModelIndex& index, int role) const {
    const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
    if (!text || !index.isValid()) return DatasetModel::data(index, role);
    const int field = fieldOfColumn(index.column());
    if (field < 0) return QVariant();
    if (index.row() == pendingRow()) return dataset()->value(field).toString();
    if (role == Qt::EditRole) return dataset()->textAt(index.row(), field);
    return DatasetModel::data(index, role);
}

bool EditableDatasetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || !editable()) return false;
    const int field = fieldOfColumn(index.column());
    Dataset* d = dataset();
    const int pending = pendingRow();
    // Another row's values must be posted (or cancelled) first.
    if (field < 0 || (pending >= 0 && pending != index.row())) return false;
    try {
        if (pending < 0) {
            d->moveTo(index.row());
            d->edit();
        }
        const QString text = value.toString();
        d->setValue(field, text.isEmpty() ? QVariant() : QVariant(text));
    } catch (const DbError& e) {
        emit editRefused(e.message());
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

}  // namespace zomi::dbaccess
