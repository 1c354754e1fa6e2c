#pragma once

#include <QDialog>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QTableView;
class QToolBar;

namespace zomi::dbaccess {
class DatasetModel;
class Table;
}  // namespace zomi::dbaccess

namespace zomi {

// The users of the database with their rights. Every change goes to the
// server at once.
class Tfrm_Felhasznalo : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_Felhasznalo(QWidget* parent = nullptr);

    QToolBar* ToolBar1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QTableView* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QLabel* StatusPanel2 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    dbaccess::Table* Tbl = nullptr;
    dbaccess::DatasetModel* TblModel = nullptr;

    QAction* aUj = nullptr;
    QAction* aSzerkeszt = nullptr;
    QAction* aTorol = nullptr;
    QAction* aBezar = nullptr;

    void aUjExecute();
    void aSzerkesztExecute();
    void aTorolExecute();

  protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAction* createAction(const QString& name, const QString& caption, const QKeySequence& shortcut,
                          const QIcon& icon);
    // Shows the edit window on the row being inserted or edited; discards the
    // change unless the user stored it.
    void editCurrent();
    void layoutColumns();
    void showCounter();
    void followDataset();

    bool syncing_ = false;
};

// Shows the user list modally.
void ShowUsers();

}  // namespace zomi
