#pragma once

// The database chooser of the start-up: lists the connection profiles of the
// settings file and lets the user pick one, or add one with the set-up window.

#include <QDialog>
#include <QStringList>

#include "dbaccess/Connection.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace zomi {

class Tfrm_AdatbazisNyit : public QDialog {
    Q_OBJECT

  public:
    Tfrm_AdatbazisNyit(const QStringList& lines, const QStringList& profiles,
                       const QString& caption, QWidget* parent = nullptr);

    // With exactly one line the profile is tried at once; true when it
    // connects, and the window need not be shown at all (the result is then 0).
    bool acceptWithoutWindow();
    // The chosen line, the number of lines after "Új", or -1.
    int chosenLine() const { return result_; }
    // The test connection with the selected line's profile.
    bool TestProfile();

    QListWidget* ListBox1;
    QLabel* Image1;
    QPushButton* BitBtn1;  // "Új"
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Mégsem"
    dbaccess::Connection* Db1;

  public slots:
    void Button1Click();
    void BitBtn1Click();
    void done(int r) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeControls();

    QStringList profiles_;
    int result_ = -1;
    int keyDownIndex_ = -1;
    bool placementLoaded_ = false;
};

// Returns the 0-based index of the chosen line, the number of lines when a new
// profile was set up with "Új" (it is then in Beall.ConStr), or -1 when the
// user cancelled.
int ChooseDatabase(const QStringList& lines, const QStringList& profiles, const QString& caption);

// Whether the last ChooseDatabase call showed its window; a single profile
// that connects is taken without asking.
bool ChooserWasShown();

}  // namespace zomi
