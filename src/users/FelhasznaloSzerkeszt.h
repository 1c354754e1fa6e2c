#pragma once

#include <QString>

#include "masterdata/SzerkesztAblak.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class TDbCheckBox;
class TDbEdit;

// The password a new user starts with, and the one "Visszaállítás" puts back.
QString InitialPassword();

// The user on the current row of the user list's table, which the caller has
// put into inserting or editing; the caller also discards the change when
// the window closes without OK.
class Tfrm_FelhasznaloSzerkeszt : public TSzerkesztAblak {
    Q_OBJECT

  public:
    Tfrm_FelhasznaloSzerkeszt(dbaccess::Table* table, QWidget* parent = nullptr);
    ~Tfrm_FelhasznaloSzerkeszt() override;

    TDbEdit* DBEdit1 = nullptr;  // felhasznalo
    TDbEdit* DBEdit2 = nullptr;  // felhasznalo_nev
    QLabel* lblJelszo = nullptr;
    QPushButton* btnVisszaallit = nullptr;
    TDbCheckBox* DBCheckBox1 = nullptr;  // rendszergazda
    TDbCheckBox* DBCheckBox2 = nullptr;  // torzsszerkeszt
    TDbCheckBox* DBCheckBox3 = nullptr;  // nyomtathat
    QLabel* Image1 = nullptr;

    // Sets the row's password back to the initial one; stored only with OK.
    void btnVisszaallitClick();
};

}  // namespace zomi
