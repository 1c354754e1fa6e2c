#pragma once

#include "ui/ListWindow.h"

namespace zomi::dbaccess {
class DatasetModel;
class Table;
}  // namespace zomi::dbaccess

namespace zomi {

class GridLink;

// The users of the database with their rights. Every change goes to the
// server at once.
class Tfrm_Felhasznalo : public ListWindow {
    Q_OBJECT

  public:
    explicit Tfrm_Felhasznalo(QWidget* parent = nullptr);

    dbaccess::Table* Tbl = nullptr;
    dbaccess::DatasetModel* TblModel = nullptr;

    void aUjExecute() override;
    void aSzerkesztExecute() override;
    void aTorolExecute() override;

  protected:
    void layoutColumns() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Shows the edit window on the row being inserted or edited; discards the
    // change unless the user stored it.
    void editCurrent();
};

// Shows the user list modally.
void ShowUsers();

}  // namespace zomi
