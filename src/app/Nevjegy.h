#pragma once

// The about box: the program's name, version and purpose and how to reach
// its vendor.

#include <QDialog>

#include "common/ProgramVersion.h"

class QFrame;
class QLabel;
class QPushButton;

namespace zomi {

class Tfrm_Nevjegy : public QDialog {
    Q_OBJECT

  public:
    explicit Tfrm_Nevjegy(QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Copyright;  // the vendor notice
    QLabel* Comments;   // the program's purpose
    QLabel* Label1;     // "Elérhetőség"
    QLabel* Label2;     // the vendor's contact details
    QPushButton* OKButton;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool shownBefore_ = false;
};

void ShowAbout(QWidget* owner);

}  // namespace zomi
