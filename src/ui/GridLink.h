#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QTableView;
class QWidget;

namespace zomi::dbaccess {
class Dataset;
class DatasetModel;
}  // namespace zomi::dbaccess

namespace zomi {

// Keeps a list grid and its dataset on one current row, whichever of the two
// moves, and shows the record counter after every move. The current row
// stays selected: a click under the last row or a Ctrl+click on it would
// otherwise leave no highlighted row while the actions still work on the
// current one. A row being edited or inserted keeps the dataset where it is.
class GridLink : public QObject {
    Q_OBJECT

  public:
    GridLink(QTableView* grid, dbaccess::Dataset* dataset, dbaccess::DatasetModel* model,
             QWidget* owner);

    // Where the record counter text goes (the first status-bar panel).
    void setCounter(std::function<void(const QString&)> counter) { counter_ = std::move(counter); }

  private:
    void showCounter();
    void followDataset();
    void followGrid(int row);
    void keepCurrentRowSelected();

    QTableView* grid_;
    dbaccess::Dataset* dataset_;
    dbaccess::DatasetModel* model_;
    QWidget* owner_;
    bool syncing_ = false;
    std::function<void(const QString&)> counter_;
};

}  // namespace zomi
