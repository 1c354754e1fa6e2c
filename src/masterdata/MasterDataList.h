#pragma once

// What the master-data lists add to the list frame: the search box before
// the caption, the list query with its search and ordering, choosing a row
// with "Elfogad", deleting by key, and the edit window opened on a key.

#include <QString>
#include <QStringList>

#include "ui/ListWindow.h"

class QLineEdit;

namespace zomi::dbaccess {
class Query;
class DatasetModel;
}  // namespace zomi::dbaccess

namespace zomi {

class ListSearch;

class MasterDataList : public ListWindow {
    Q_OBJECT

  public:
    // What tells one list from the other.
    struct Design {
        QString name;  // window name and settings section
        QString caption;
        QString table;      // also the key column
        QString sortField;  // the first sort field
        QString searchFields;
        QString baseFilter;
        QStringList columns;
        QSize size;
        bool sortsOnTitleClick = true;
        bool searchFocusOnShow = true;
    };

    QLineEdit* Edit1 = nullptr;
    dbaccess::Query* Qry = nullptr;
    dbaccess::DatasetModel* QryModel = nullptr;
    QAction* aElfogad = nullptr;

    bool choosing() const { return choosing_; }
    // After the window closed as chosen: the key of the chosen row; else -1.
    int chosenKey() const { return chosenKey_; }
    ListSearch* search() const { return search_; }

    void aUjExecute() override;
    void aSzerkesztExecute() override;
    void aTorolExecute() override;
    void aElfogadExecute();
    void DBGrid1DblClick() override;

  protected:
    MasterDataList(const Design& design, bool choosing, QWidget* parent);

    // The rest of the set-up, once the window's own actions exist: opens the
    // list and makes the row with the given key current.
    void openList(int key);

    // Opens the window's edit window on the key (-1: a new row) and gives the
    // stored key or -1.
    virtual int editRow(int key) = 0;
    // Called after the list query was opened the first time.
    virtual void afterFirstOpen() {}

    // The current row's sort-field value from the grid, or the selected text
    // from the search box, to the clipboard.
    void copySortValue();

    QString keyField() const { return design_.table; }
    int currentKey() const;
    bool hasCurrentRow() const;
    void selectKey(int key);

    QWidget* firstFocus() const override;
    void done(int result) override;

    Design design_;

  private:
    void refreshAndSelect(int key);

    ListSearch* search_ = nullptr;
    bool choosing_;
    int chosenKey_ = -1;
};

}  // namespace zomi
