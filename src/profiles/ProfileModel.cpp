#include "profiles/ProfileModel.h"

namespace zomi {

namespace {

constexpr int kColumns = 6;

const char* const kTitles[kColumns] = {
    "Megjelenített név", "Adatbázis / tárhely", "Kiszolgáló", "Port", "Felhasználó", "Verzió"};

}  // namespace

ProfileModel::ProfileModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProfileModel::setProfiles(const QList<ConnectionProfile>& profiles) {
    beginResetModel();
    profiles_ = profiles;
    endResetModel();
}

int ProfileModel::sortBy(ProfileColumn column, int keptRow) {
    sortColumn_ = column;
    const QList<int> order = SortedOrder(profiles_, column);
    QList<ConnectionProfile> sorted;
    int kept = -1;
    for (int i = 0; i < order.size(); ++i) {
        sorted << profiles_[order[i]];
        if (order[i] == keptRow) kept = i;
    }
    beginResetModel();
    profiles_ = sorted;
    endResetModel();
    return kept;
}

int ProfileModel::store(int row, const ConnectionProfile& profile) {
    if (row < 0) {
        profiles_ << profile;
        row = static_cast<int>(profiles_.size()) - 1;
    } else {
        profiles_[row] = profile;
    }
    return sortBy(sortColumn_, row);
}

void ProfileModel::remove(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    profiles_.removeAt(row);
    endRemoveRows();
}

void ProfileModel::setVersion(int row, const QString& version) {
    profiles_[row].verzio = version;
    const QModelIndex cell = index(row, static_cast<int>(ProfileColumn::Verzio));
    emit dataChanged(cell, cell);
}

void ProfileModel::setHighlightedColumn(int column, const QColor& color) {
    highlighted_ = column;
    highlight_ = color;
    if (!profiles_.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::BackgroundRole});
}

int ProfileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(profiles_.size());
}

int ProfileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant ProfileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= profiles_.size()) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
            return ProfileColumnText(profiles_.at(index.row()),
                                     static_cast<ProfileColumn>(index.column()));
        case Qt::TextAlignmentRole:
            if (index.column() == static_cast<int>(ProfileColumn::Port))
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            if (index.column() == highlighted_) return highlight_;
            return QVariant();
        default:
            return QVariant();
    }
}

QVariant ProfileModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < kColumns)
        return QString::fromUtf8(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace zomi
