#pragma once

#include "ui/EditWindow.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class DbCheckBox;
class DbEdit;

// One contractor: opened on the row with the key, or on a new contractor for -1.
class Tfrm_TorzsVallalkozo_Szerkeszt : public EditWindow {
    Q_OBJECT

  public:
    Tfrm_TorzsVallalkozo_Szerkeszt(int key, QWidget* parent = nullptr);
    ~Tfrm_TorzsVallalkozo_Szerkeszt() override;

    // After the window closed: the stored row's key when confirmed, else -1
    // (the change, or the new row, is then discarded).
    int finish();

    dbaccess::Table* Tbl = nullptr;
    DbEdit* DBEdit2 = nullptr;  // vallalkozo_nev
    DbEdit* DBEdit3 = nullptr;  // munkakor
    DbCheckBox* DBCheckBox1 = nullptr;
    DbEdit* DBEdit4 = nullptr;  // oradij
    DbEdit* DBEdit5 = nullptr;  // kiszdij
    DbEdit* DBEdit1 = nullptr;  // telefon
    DbEdit* DBEdit6 = nullptr;  // emil
    DbEdit* DBEdit7 = nullptr;  // cim
    QLabel* Image1 = nullptr;
};

// Shows the edit window modally; gives the stored contractor's key, or -1.
int VallalkozoSzerkeszt(int key, QWidget* parent = nullptr);

}  // namespace zomi
