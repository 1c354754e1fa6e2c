#pragma once

// The settings dialog over the database-wide settings row (table beallit):
// whether the start-up asks for a login with password; and whether the
// users' rights guard what they name (Zomi's own table, db/RightsSetting.h),
// which only an administrator may change.

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zomi {

namespace dbaccess {
class Table;
}

class Tfrm_Beallit : public QDialog {
    Q_OBJECT

  public:
    // Opens the table on the main connection and starts editing its row (a
    // new row when the table is empty). A database error reaches the caller.
    explicit Tfrm_Beallit(QWidget* parent = nullptr);
    ~Tfrm_Beallit() override;

    QCheckBox* DBCheckBox1;
    QCheckBox* chkJogosultsag;  // "Jogosultságok érvényesítése"
    QPushButton* Button1;       // "OK"
    QPushButton* Button2;       // "Mégsem"
    QLabel* Image1;
    dbaccess::Table* Tbl;

  public slots:
    // OK posts the row, anything else abandons the edit.
    void done(int r) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool shownBefore_ = false;
    bool rightsEnforced_ = false;  // as stored when the dialog opened
};

// Shows the settings dialog modally; errors are shown over owner.
void ShowSettingsDialog(QWidget* owner);

}  // namespace zomi
