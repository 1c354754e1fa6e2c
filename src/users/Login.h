#pragma once

// The login window of the start-up and the password change reached from it.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zomi {

class Tfrm_Login : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_Login(QWidget* parent = nullptr);

    // Set by "OK": whether the typed name and password were accepted.
    bool LoginOK() const { return loginOK_; }

    QLabel* Image1;
    QLineEdit* Edit1;  // login name
    QLineEdit* Edit2;  // password
    QPushButton* btnOK;
    QPushButton* btnUjJelszo;
    QPushButton* btnMegsem;

  public slots:
    void btnOKClick();
    void btnUjJelszoClick();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool loginOK_ = false;
    bool shownBefore_ = false;
};

// Compares the login name and password with the user table on the main
// connection, the name in its stored letter case. On success fills the user
// fields of Beall; otherwise shows "Érvénytelen felhasználó, vagy jelszó"
// over owner. Database errors reach the caller.
bool CheckCredentials(const QString& login, const QString& password, QWidget* owner);
// The same with what the window's fields hold.
bool CheckCredentials(Tfrm_Login& window);

// Shows the login window. True when a user logged in; false when the user gave
// up, in which case the caller ends the start-up.
bool RunLogin();

}  // namespace zomi
