#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "dbaccess/Dataset.h"
#include "dbaccess/DatasetModel.h"
#include "dbaccess/LiveList.h"

class QLineEdit;
class QTableView;
class QWidget;

namespace zomi {

class GridLink;

// Paints the given grid column in HighlightColor and every other one in the
// window colour (rows may still colour themselves).
void MarkSortColumn(dbaccess::DatasetModel* model, int column);

// Gives a grid the look and behaviour every list window shares: read-only,
// whole rows selected, one at a time.
void SetUpListGrid(QTableView* grid);

// The search box over a grid that every list window shares: the list is
// filtered by the server on each keystroke and positioned on the first row
// whose sort column starts with the text; a title click orders by that
// column; a letter typed into the grid starts a new search; the arrow keys
// lead from the box into the grid; the record counter follows every move.
class ListSearch : public QObject {
    Q_OBJECT

  public:
    ListSearch(QLineEdit* edit, QTableView* grid, dbaccess::Query* query,
               dbaccess::DatasetModel* model, QWidget* owner);

    void setSearchFields(const QString& fields) { searchFields_ = fields; }
    void setBaseFilter(const QString& condition) { baseFilter_ = condition; }
    const QString& baseFilter() const { return baseFilter_; }
    void setSortField(const QString& field) { sortField_ = field; }
    const QString& sortField() const { return sortField_; }
    void setSortsOnTitleClick(bool sorts) { sortsOnTitleClick_ = sorts; }
    // A list too large to ask the server on every keystroke: its rows are
    // narrowed and ordered in memory (it must hold the query given above).
    void setLiveList(dbaccess::LiveList* live) { live_ = live; }
    // Where the record counter text goes (the first status-bar panel).
    void setCounter(std::function<void(const QString&)> counter);

    // Reopens the list with the base condition and the current search, then
    // positions it on the search text. Errors reach the caller.
    void search();
    // Reopens with the current condition and order, without positioning.
    void reopen();
    // Moves to the row whose field holds the value; false when none does.
    bool selectValue(const QString& field, const QVariant& value);
    void orderByColumn(int column);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool startsSearch(const QString& typed) const;

    QLineEdit* edit_;
    QTableView* grid_;
    dbaccess::Query* query_;
    dbaccess::DatasetModel* model_;
    QWidget* owner_;
    QString searchFields_;
    QString baseFilter_ = QStringLiteral("(1 = 1)");
    QString sortField_;
    bool sortsOnTitleClick_ = true;
    GridLink* link_;
    dbaccess::LiveList* live_ = nullptr;
    bool typingFromGrid_ = false;
};

}  // namespace zomi
