#pragma once

#include "ui/EditWindow.h"

class QLabel;

namespace zomi::dbaccess {
class Table;
}

namespace zomi {

class DbEdit;
class DbText;

// One row of a lookup table T: its name T + "_nev", with the key shown.
class Tfrm_Torzsadat_Szerkeszt : public EditWindow {
    Q_OBJECT

  public:
    // caption: the caption of the list the window was opened from.
    Tfrm_Torzsadat_Szerkeszt(int key, const QString& table, const QString& caption,
                             QWidget* parent = nullptr);
    ~Tfrm_Torzsadat_Szerkeszt() override;

    // After the window closed: the stored row's key when confirmed, else -1.
    int finish();

    dbaccess::Table* Tbl = nullptr;
    QLabel* Label1 = nullptr;
    DbEdit* DBEdit1 = nullptr;
    DbText* DBText1 = nullptr;
    QLabel* Image1 = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QString table_;
};

// Shows the edit window modally; gives the stored row's key, or -1.
int TorzsadatSzerkeszt(int key, const QString& table, const QString& caption,
                       QWidget* parent = nullptr);

}  // namespace zomi
