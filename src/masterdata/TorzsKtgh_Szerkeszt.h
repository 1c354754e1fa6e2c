#pragma once

#include "ui/EditWindow.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class DbEdit;

// One site: opened on the row with the key, or on a new site for -1.
class Tfrm_TorzsKtgh_Szerkeszt : public EditWindow {
    Q_OBJECT

  public:
    Tfrm_TorzsKtgh_Szerkeszt(int key, QWidget* parent = nullptr);
    ~Tfrm_TorzsKtgh_Szerkeszt() override;

    // After the window closed: the stored row's key when confirmed, else -1
    // (the change, or the new row, is then discarded).
    int finish();

    dbaccess::Table* Tbl = nullptr;
    DbEdit* DBEdit2 = nullptr;  // cim
    DbEdit* DBEdit3 = nullptr;  // kepviselo
    DbEdit* DBEdit7 = nullptr;  // kepviselo_cim
    DbEdit* DBEdit1 = nullptr;  // telefon
    DbEdit* DBEdit6 = nullptr;  // emil
    QLabel* Image1 = nullptr;
};

// Shows the edit window modally; gives the stored site's key, or -1.
int KtghSzerkeszt(int key, QWidget* parent = nullptr);

}  // namespace zomi
