#pragma once

// The console's result grid: shows one dataset at a time, the query result
// or an open table. A table's cells can be typed into; a row is stored when
// the user leaves it, Esc gives up its changes, Insert adds a row and
// Ctrl+Delete deletes one after a question.

#include <QHash>
#include <QTableView>

namespace zomi::dbaccess {
class Dataset;
class EditableDatasetModel;
}  // namespace zomi::dbaccess

namespace zomi {

class TSqlGrid : public QTableView {
    Q_OBJECT

  public:
    explicit TSqlGrid(QWidget* parent = nullptr);

    void ShowDataset(dbaccess::Dataset* dataset);
    dbaccess::Dataset* ShownDataset() const { return dataset_; }

    // Stores the row being typed into; false, with the error shown, when the
    // server refused it (the typed values stay).
    bool PostPending();
    void CancelPending();

    void SetColumnWidths(int width);
    void NarrowColumns(int width);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    dbaccess::EditableDatasetModel* shownModel() const;
    void currentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void followDataset();
    void selectRow(int row);
    void appendRow();
    void deleteRow();

    dbaccess::Dataset* dataset_ = nullptr;
    QHash<dbaccess::Dataset*, dbaccess::EditableDatasetModel*> models_;
    bool selecting_ = false;
};

}  // namespace zomi
