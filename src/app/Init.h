#pragma once

// The first-run set-up window: asks for the connection data of a new profile,
// lets the user test it, and stores it in the settings file.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zomi {

namespace dbaccess {
class Connection;
}

class Tfrm_Init : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_Init(QWidget* parent = nullptr);

    // database;host;port;user;password;display name, as typed.
    QString profileText() const;

    QLabel* Image1;
    QLineEdit* Edit1;      // database
    QLineEdit* Edit2;      // host
    QLineEdit* Edit3;      // user
    QLineEdit* Edit4;      // display name
    QLineEdit* Edit5;      // port
    QLineEdit* Edit6;      // password
    QPushButton* Button1;  // "Kapcsolat tesztelése"
    QPushButton* Button2;  // "Rendben"
    QPushButton* Button3;  // "Mégsem"
    dbaccess::Connection* Db1;

  public slots:
    void Button1Click();
    // Stores the profile and closes the window as confirmed.
    void Button2Click();
    void done(int r) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // False, after a box naming the field, when a field holds the ";" that
    // separates the fields of the stored profile.
    bool fieldsFitAProfile();

    bool shownBefore_ = false;
};

// Shows the set-up window. On confirmation Beall.ConStr holds the new profile,
// which is stored in the settings file, and the result is true; false when the
// user cancelled, and nothing is stored.
bool SetUpConnection(QWidget* owner = nullptr);

}  // namespace zomi
