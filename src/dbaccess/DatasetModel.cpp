#include "dbaccess/DatasetModel.h"

namespace zomi::dbaccess {

DatasetModel::DatasetModel(Dataset* dataset, QObject* parent)
    : QAbstractTableModel(parent), dataset_(dataset) {
    connect(dataset_, &Dataset::aboutToReset, this, [this] { beginResetModel(); });
    connect(dataset_, &Dataset::rowsReset, this, [this] {
        rebuildColumns();
        endResetModel();
    });
    connect(dataset_, &Dataset::rowChanged, this, [this](int row) {
        if (!columns_.empty())
            emit dataChanged(index(row, 0), index(row, static_cast<int>(columns_.size()) - 1));
    });
    connect(dataset_, &Dataset::aboutToInsertRow, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(dataset_, &Dataset::rowInserted, this, [this] { endInsertRows(); });
    connect(dataset_, &Dataset::aboutToRemoveRow, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(dataset_, &Dataset::rowRemoved, this, [this] { endRemoveRows(); });
    connect(dataset_, &Dataset::aboutToAppendRows, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(dataset_, &Dataset::rowsAppended, this, [this] { endInsertRows(); });
    rebuildColumns();
}

void DatasetModel::setColumns(const QStringList& fieldNames) {
    beginResetModel();
    wanted_ = fieldNames;
    rebuildColumns();
    endResetModel();
}

void DatasetModel::rebuildColumns() {
    columns_.clear();
    if (!dataset_) return;
    if (wanted_.isEmpty()) {
        for (int i = 0; i < dataset_->fieldCount(); ++i)
            if (dataset_->field(i).visible) columns_.push_back(i);
        return;
    }
    for (const QString& name : wanted_) {
        const int i = dataset_->fieldIndex(name);
        if (i >= 0) columns_.push_back(i);
    }
}

void DatasetModel::setHighlightedColumn(int column, const QVariant& background) {
    highlighted_ = column;
    highlight_ = background;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole});
}

int DatasetModel::fieldOfColumn(int column) const {
    return column >= 0 && column < static_cast<int>(columns_.size())
               ? columns_[static_cast<size_t>(column)]
               : -1;
}

int DatasetModel::columnOfField(const QString& fieldName) const {
    if (!dataset_) return -1;
    const int wanted = dataset_->fieldIndex(fieldName);
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == wanted) return static_cast<int>(i);
    return -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !dataset_ ? 0 : dataset_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const {
    if (!dataset_ || !index.isValid() || index.row() >= dataset_->recordCount()) return QVariant();
    const int fieldIndex = fieldOfColumn(index.column());
    if (fieldIndex < 0 || fieldIndex >= dataset_->fieldCount()) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
            return dataset_->displayText(index.row(), fieldIndex);
        case Qt::EditRole:
            return dataset_->valueAt(index.row(), fieldIndex);
        case Qt::TextAlignmentRole:
            if (dataset_->field(fieldIndex).isNumeric())
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (index.column() == highlighted_) return highlight_;
            return background_ ? background_(index.row()) : QVariant();
        default:
            return QVariant();
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !dataset_) return QVariant();
    if (orientation == Qt::Vertical) return section + 1;
    const int fieldIndex = fieldOfColumn(section);
    if (fieldIndex < 0 || fieldIndex >= dataset_->fieldCount()) return QVariant();
    return QVariant(dataset_->field(fieldIndex).label);
}

}  // namespace zomi::dbaccess
