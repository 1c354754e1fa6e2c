#include "ui/GridLink.h"

#include <QTableView>

#include "db/DbRoutines.h"
#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

GridLink::GridLink(QTableView* grid, dbaccess::Dataset* dataset, dbaccess::DatasetModel* model,
                   QWidget* owner)
    : QObject(owner), grid_(grid), dataset_(dataset), model_(model), owner_(owner) {
    connect(dataset_, &dbaccess::Dataset::afterScroll, this, [this] {
        showCounter();
        followDataset();
    });
    connect(dataset_, &dbaccess::Dataset::afterOpen, this, &GridLink::showCounter);
    connect(dataset_, &dbaccess::Dataset::afterClose, this, &GridLink::showCounter);
    connect(dataset_, &dbaccess::Dataset::rowInserted, this, &GridLink::showCounter);
    connect(dataset_, &dbaccess::Dataset::rowRemoved, this, &GridLink::showCounter);
    // Rows that arrive or are narrowed on the client change the count alone.
    connect(dataset_, &dbaccess::Dataset::rowsReset, this, &GridLink::showCounter);
    connect(dataset_, &dbaccess::Dataset::rowsAppended, this, &GridLink::showCounter);
    connect(grid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { followGrid(current.row()); });
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &GridLink::keepCurrentRowSelected);
    // A reset model gives the grid a new selection model, with no current row.
    connect(model_, &QAbstractItemModel::modelReset, this, &GridLink::followDataset);
}

void GridLink::showCounter() {
    if (counter_) counter_(dataset_->isOpen() ? RecordCounterText(*dataset_) : QString());
}

void GridLink::followDataset() {
    if (syncing_) return;
    const int row = dataset_->currentRow();
    if (row < 0 || row >= model_->rowCount()) return;
    syncing_ = true;
    const QModelIndex current = grid_->currentIndex();
    const QModelIndex index = model_->index(row, current.isValid() ? current.column() : 0);
    grid_->setCurrentIndex(index);
    grid_->scrollTo(index);
    syncing_ = false;
}

void GridLink::keepCurrentRowSelected() {
    QItemSelectionModel* selection = grid_->selectionModel();
    // The selection model takes its new current row before it tells of the
    // new selection, so a move by key or click passes here unchanged.
    const QModelIndex current = selection->currentIndex();
    if (!current.isValid() || selection->isRowSelected(current.row(), current.parent())) return;
    selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void GridLink::followGrid(int row) {
    if (syncing_ || row < 0 || dataset_->state() != dbaccess::Dataset::State::Browse) return;
    syncing_ = true;
    Guarded(owner_, [this, row] { dataset_->moveTo(row); });
    syncing_ = false;
    showCounter();
}

}  // namespace zomi
