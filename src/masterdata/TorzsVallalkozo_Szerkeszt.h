#pragma once

#include "masterdata/SzerkesztAblak.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class TDbCheckBox;
class TDbEdit;

// One contractor: opened on the row with the key, or on a new contractor for -1.
class Tfrm_TorzsVallalkozo_Szerkeszt : public TSzerkesztAblak {
    Q_OBJECT

  public:
    Tfrm_TorzsVallalkozo_Szerkeszt(int key, QWidget* parent = nullptr);
    ~Tfrm_TorzsVallalkozo_Szerkeszt() override;

    // After the window closed: the stored row's key when confirmed, else -1
    // (the change, or the new row, is then discarded).
    int finish();

    dbaccess::Table* Tbl = nullptr;
    TDbEdit* DBEdit2 = nullptr;  // vallalkozo_nev
    TDbEdit* DBEdit3 = nullptr;  // munkakor
    TDbCheckBox* DBCheckBox1 = nullptr;
    TDbEdit* DBEdit4 = nullptr;  // oradij
    TDbEdit* DBEdit5 = nullptr;  // kiszdij
    TDbEdit* DBEdit1 = nullptr;  // telefon
    TDbEdit* DBEdit6 = nullptr;  // emil
    TDbEdit* DBEdit7 = nullptr;  // cim
    QLabel* Image1 = nullptr;
};

// Shows the edit window modally; gives the stored contractor's key, or -1.
int VallalkozoSzerkeszt(int key, QWidget* parent = nullptr);

}  // namespace zomi
