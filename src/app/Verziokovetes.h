#pragma once

// The version notice: a newer build of the program is out. Shown modally
// once per start while the users have not asked to hear no more of it.

#include <QDialog>

#include "notify/Notices.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zomi {

class Tfrm_Verziokovetes : public QDialog {
    Q_OBJECT

  public:
    Tfrm_Verziokovetes(const VersionNotice& notice, QWidget* parent = nullptr);

    QLabel* Label3;  // the title
    QLabel* Label4;  // what the new version brings
    QCheckBox* CheckBox1;
    QPushButton* BitBtn1;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

  private:
    void BitBtn1Click();

    QString version_;
    bool shownBefore_ = false;
};

// Asks the vendor's server for the newest version in the background and,
// when it is newer than what the users acknowledged, shows the notice.
void CheckVersion(QWidget* owner);

}  // namespace zomi
