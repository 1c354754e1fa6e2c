#pragma once

#include <QString>

#include "ui/EditWindow.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class DbCheckBox;
class DbEdit;

// The password a new user starts with, and the one "Visszaállítás" puts back.
QString InitialPassword();

// The user on the current row of the user list's table, which the caller has
// put into inserting or editing; the caller also discards the change when
// the window closes without OK.
class Tfrm_FelhasznaloSzerkeszt : public EditWindow {
    Q_OBJECT

  public:
    Tfrm_FelhasznaloSzerkeszt(dbaccess::Table* table, QWidget* parent = nullptr);
    ~Tfrm_FelhasznaloSzerkeszt() override;

    DbEdit* DBEdit1 = nullptr;  // felhasznalo
    DbEdit* DBEdit2 = nullptr;  // felhasznalo_nev
    QLabel* lblJelszo = nullptr;
    QPushButton* btnVisszaallit = nullptr;
    DbCheckBox* DBCheckBox1 = nullptr;  // rendszergazda
    DbCheckBox* DBCheckBox2 = nullptr;  // torzsszerkeszt
    DbCheckBox* DBCheckBox3 = nullptr;  // nyomtathat
    QLabel* Image1 = nullptr;

    // Sets the row's password back to the initial one; stored only with OK.
    void btnVisszaallitClick();
};

}  // namespace zomi
