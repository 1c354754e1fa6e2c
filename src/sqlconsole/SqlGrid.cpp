#include "sqlconsole/SqlGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "dbaccess/Dataset.h"
#include "dbaccess/EditableDatasetModel.h"
#include "ui/Boxes.h"
#include "ui/ErrorDisplay.h"

namespace zomi {

using dbaccess::Dataset;
using dbaccess::DbError;
using dbaccess::EditableDatasetModel;

TSqlGrid::TSqlGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid1"));
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(100);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setSelectionMode(SingleSelection);
}

EditableDatasetModel* TSqlGrid::shownModel() const { return models_.value(dataset_); }

void TSqlGrid::ShowDataset(Dataset* dataset) {
    if (dataset == dataset_) return;
    dataset_ = dataset;
    EditableDatasetModel*& model = models_[dataset];
    if (!model) {
        model = new EditableDatasetModel(dataset, this);
        connect(model, &EditableDatasetModel::editRefused, this, [this](const QString& message) {
            ShowError(DbError(DbError::kState, message), this);
        });
        connect(dataset, &Dataset::afterScroll, this, [this, dataset] {
            if (dataset == dataset_) followDataset();
        });
    }
    // The view makes a new selection model for every model and leaves the old one.
    QItemSelectionModel* previous = selectionModel();
    setModel(model);
    delete previous;
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TSqlGrid::currentRowChanged);
}

bool TSqlGrid::PostPending() {
    if (!shownModel() || shownModel()->pendingRow() < 0) return true;
    return Guarded(this, [this] { dataset_->post(); });
}

void TSqlGrid::CancelPending() {
    if (!shownModel() || shownModel()->pendingRow() < 0) return;
    const int row = shownModel()->pendingRow();
    dataset_->cancel();
    // An edited row shows its stored values again; a new one is gone.
    if (row < shownModel()->rowCount())
        emit shownModel()->dataChanged(shownModel()->index(row, 0),
                                       shownModel()->index(row, shownModel()->columnCount() - 1));
}

void TSqlGrid::SetColumnWidths(int width) {
    for (int c = 0; c < horizontalHeader()->count(); ++c) setColumnWidth(c, width);
}

void TSqlGrid::NarrowColumns(int width) {
    resizeColumnsToContents();
    for (int c = 0; c < horizontalHeader()->count(); ++c)
        if (columnWidth(c) > width) setColumnWidth(c, width);
}

void TSqlGrid::selectRow(int row) {
    selecting_ = true;
    const int column = std::max(currentIndex().column(), 0);
    setCurrentIndex(model()->index(row, column));
    selecting_ = false;
}

// Leaving a row stores it; a refused row keeps the grid where it is.
void TSqlGrid::currentRowChanged(const QModelIndex& current, const QModelIndex&) {
    if (selecting_ || !dataset_ || !current.isValid()) return;
    const int pending = shownModel()->pendingRow();
    if (pending >= 0 && current.row() != pending && !PostPending()) {
        selectRow(pending);
        return;
    }
    if (dataset_->currentRow() != current.row()) dataset_->moveTo(current.row());
}

void TSqlGrid::followDataset() {
    const int row = dataset_->currentRow();
    if (row >= 0 && row != currentIndex().row()) selectRow(row);
}

void TSqlGrid::appendRow() {
    if (!PostPending()) return;
    Guarded(this, [this] { dataset_->append(); });
}

void TSqlGrid::deleteRow() {
    if (dataset_->currentRow() < 0) return;
    if (dataset_->state() == Dataset::State::Insert) {
        CancelPending();
        return;
    }
    if (!ConfirmBox(QStringLiteral("Valóban töröljem a sort?"), QStringLiteral("Megerősítés"),
                    this))
        return;
    CancelPending();
    Guarded(this, [this] { dataset_->remove(); });
}

void TSqlGrid::keyPressEvent(QKeyEvent* event) {
    const bool editable = shownModel() && shownModel()->editable();
    if (editable && event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        appendRow();
    } else if (editable && event->key() == Qt::Key_Delete &&
               event->modifiers() == Qt::ControlModifier) {
        deleteRow();
    } else if (event->key() == Qt::Key_Escape && shownModel() && shownModel()->pendingRow() >= 0) {
        CancelPending();
    } else {
        QTableView::keyPressEvent(event);
    }
}

}  // namespace zomi
