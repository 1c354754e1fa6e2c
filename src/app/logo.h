#pragma once

// The splash window: the program picture over the main window for a moment
// after the start, fading out on its own.

#include <QDate>
#include <QWidget>

class QLabel;
class QTimer;

namespace zomi {

// From 15 December to the end of the year the splash shows its winter picture.
bool IsSeasonalDay(const QDate& date);

class Tfrm_Logo : public QWidget {
    Q_OBJECT

  public:
    // today decides the picture; the start-up passes the current date.
    explicit Tfrm_Logo(const QDate& today, QWidget* parent = nullptr);

    bool isSeasonal() const { return seasonal_; }
    // The opacity in the 0-255 steps the fading counts in.
    int alphaBlendValue() const { return alpha_; }

    QLabel* Image1;
    QTimer* Timer1;  // the full-opacity pause
    QTimer* Timer2;  // one fading step

  public slots:
    void Timer1Timer();
    void Timer2Timer();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool seasonal_;
    int alpha_ = 255;
};

// Creates the splash over owner, shows it without waiting and returns at once;
// the window frees itself when it has faded. today is for tests.
Tfrm_Logo* ShowSplash(QWidget* owner, const QDate& today = QDate::currentDate());

}  // namespace zomi
