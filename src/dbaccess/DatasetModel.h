#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <functional>
#include <vector>

#include "dbaccess/Dataset.h"

namespace zomi::dbaccess {

// Shows a dataset in a QTableView. Nothing is formatted until a cell is
// painted, so a list of 200,000 rows opens as fast as it is fetched.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Gives the background of a row (for example a colour by status), or an
    // invalid QVariant for the view's own.
    using RowBackground = std::function<QVariant(int row)>;

    explicit DatasetModel(Dataset* dataset, QObject* parent = nullptr);

    // The dataset fields shown, in order; all visible fields when empty.
    void setColumns(const QStringList& fieldNames);
    int fieldOfColumn(int column) const;
    int columnOfField(const QString& fieldName) const;
    void setRowBackground(RowBackground background) { background_ = std::move(background); }
    // One column painted in its own colour (the sort column), over the row colours.
    void setHighlightedColumn(int column, const QVariant& background);
    int highlightedColumn() const { return highlighted_; }

    Dataset* dataset() const { return dataset_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    void rebuildColumns();

    // Views may still ask while their window is being torn down after the
    // dataset is gone; the model then shows nothing.
    QPointer<Dataset> dataset_;
    QStringList wanted_;
    std::vector<int> columns_;
    RowBackground background_;
    int highlighted_ = -1;
    QVariant highlight_;
};

}  // namespace zomi::dbaccess
