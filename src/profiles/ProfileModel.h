#pragma once

// The profile window's grid over its in-memory list of profiles.

#include <QAbstractTableModel>
#include <QColor>
#include <QList>

#include "db/ConnectionProfiles.h"

namespace zomi {

class ProfileModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ProfileModel(QObject* parent = nullptr);

    const QList<ConnectionProfile>& profiles() const { return profiles_; }
    const ConnectionProfile& profile(int row) const { return profiles_.at(row); }
    void setProfiles(const QList<ConnectionProfile>& profiles);

    ProfileColumn sortColumn() const { return sortColumn_; }
    // Sorts by the column and returns where the given row went (-1 for none).
    int sortBy(ProfileColumn column, int keptRow);
    // Stores a new or changed profile (-1: new) in its sorted place; returns its row.
    int store(int row, const ConnectionProfile& profile);
    void remove(int row);
    void setVersion(int row, const QString& version);

    // The column painted in the highlight colour, -1 for none.
    void setHighlightedColumn(int column, const QColor& color);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    QList<ConnectionProfile> profiles_;
    ProfileColumn sortColumn_ = ProfileColumn::AdatbazisNev;
    int highlighted_ = -1;
    QColor highlight_;
};

}  // namespace zomi
