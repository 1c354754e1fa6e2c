#pragma once

#include "db/ConnectionProfiles.h"
#include "ui/EditWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace zomi {

// "Tárhely": one connection profile of the profile window's list. OK hands
// the edited profile back; nothing is stored in the settings file here.
class Tfrm_Adatbazis_Szerkeszt : public EditWindow {
    Q_OBJECT

  public:
    explicit Tfrm_Adatbazis_Szerkeszt(const ConnectionProfile& profile, QWidget* parent = nullptr);

    // The profile as the user confirmed it.
    const ConnectionProfile& profile() const { return profile_; }

    QLineEdit* DBEdit1 = nullptr;         // adatbazisnev
    QLineEdit* DBEdit2 = nullptr;         // kiszolgalo
    QLineEdit* DBEdit3 = nullptr;         // felhasznalo
    QLineEdit* DBEdit4 = nullptr;         // jelszo
    QLineEdit* DBEdit5 = nullptr;         // adatbazis
    QLineEdit* DBEdit6 = nullptr;         // port
    QToolButton* SpeedButton1 = nullptr;  // shows or masks the password
    // Keep the password in the desktop's keyring; enabled only when one answers.
    QCheckBox* CheckBox1 = nullptr;
    QLabel* Image1 = nullptr;

    void SpeedButton1Click();

  protected:
    bool storeRow() override;

  private:
    QLineEdit* addBox(const char* name, const QString& text);

    ConnectionProfile profile_;
};

}  // namespace zomi
