#pragma once

// A news item from the vendor, shown beside the register (not modally) until
// the user closes it; the window frees itself.

#include <QWidget>
#include <functional>

#include "notify/Notices.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace zomi {

class Tfrm_Hirfolyam : public QWidget {
    Q_OBJECT

  public:
    Tfrm_Hirfolyam(const NewsItem& item, QWidget* parent = nullptr);

    QLabel* Label3;  // the title
    QLabel* Label4;  // the body
    QLabel* Label2;  // "Részletek:"
    QLabel* Label1;  // the details link
    QCheckBox* CheckBox1;
    QPushButton* BitBtn1;

  signals:
    void linkClicked(const QString& link);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BitBtn1Click();

    int number_;
    bool shownBefore_ = false;
};

// Asks the vendor's server in the background for news the users of this
// database have not dismissed and shows the item; its details link goes to
// openLink.
void CheckNews(QWidget* owner, std::function<void(const QString& link)> openLink);

}  // namespace zomi
