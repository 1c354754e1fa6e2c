#pragma once

// The frame the master-data lists share: tool bar, the panel with the search
// box and the caption, the read-only grid over the list query, the two-panel
// status bar, the maintenance and choosing actions, the grid's context menu,
// and the placement and font size kept between runs. Each list fills in its
// table, columns and edit window.

#include <QDialog>
#include <QString>
#include <QStringList>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;
class QFrame;

namespace zomi::dbaccess {
class Query;
class DatasetModel;
}  // namespace zomi::dbaccess

namespace zomi {

class ListSearch;

// The status bar of the list windows: the record counter and a second panel.
QStatusBar* CreateListStatusBar(QWidget* window, QLabel** counter, QLabel** second);
// Tool bar, search panel, grid and status bar, top to bottom, the grid taking the rest.
void StackListWindow(QWidget* window, QWidget* toolBar, QWidget* panel, QWidget* grid, QWidget* statusBar);

// Column widths are fractions of the grid's width, rounded to the nearest
// pixel with a half going to the even neighbour.
int RoundHalfEven(double value);

class TTorzsLista : public QDialog {
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

    QToolBar* ToolBar1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;  // the panel's caption
    QLineEdit* Edit1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    dbaccess::Query* Qry = nullptr;
    dbaccess::DatasetModel* QryModel = nullptr;
    ListSearch* Search = nullptr;

    QAction* aUj = nullptr;
    QAction* aSzerkeszt = nullptr;
    QAction* aTorol = nullptr;
    QAction* aElfogad = nullptr;
    QAction* aBezar = nullptr;

    bool choosing() const { return choosing_; }
    // After the window closed as chosen: the key of the chosen row; else -1.
    int chosenKey() const { return chosenKey_; }

    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();
    void aElfogadExecute();
    void aBezarExecute();
    void DBGrid1DblClick();

  protected:
    TTorzsLista(const Design& design, bool choosing, QWidget* parent);

    // The rest of the set-up, once the window's own actions exist: opens the
    // list and makes the row with the given key current.
    void openList(int key);
    // The grid's context menu in the order the window lists its actions;
    // nullptr stands for a separator.
    void setPopupMenu(const QList<QAction*>& actions);
    QAction* createAction(const QString& name, const QString& caption, const QString& hint,
                          const QList<QKeySequence>& shortcuts, const QIcon& icon);

    // Opens the window's edit window on the key (-1: a new row) and gives the
    // stored key or -1.
    virtual int editRow(int key) = 0;
    // Sets the column widths from the grid's width.
    virtual void layoutColumns() = 0;
    // Called after the list query was opened the first time.
    virtual void afterFirstOpen() {}

    // The current row's sort-field value from the grid, or the selected text
    // from the search box, to the clipboard.
    void CopySortValue();

    QString keyField() const { return design_.table; }
    int currentKey() const;
    bool hasCurrentRow() const;
    void selectKey(int key);

    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Design design_;

  private:
    void refreshAndSelect(int key);

    bool choosing_;
    int chosenKey_ = -1;
};

}  // namespace zomi
