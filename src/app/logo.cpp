#include "app/logo.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "ui/Pictures.h"

namespace zomi {

namespace {

constexpr int kPauseMs = 1000;
constexpr int kStepMs = 21;
constexpr int kStep = 10;
// At this opacity the window is all but gone; the remaining steps would only
// keep a ghost on the screen.
constexpr int kLastVisibleAlpha = 33;

}  // namespace

bool IsSeasonalDay(const QDate& date) { return date.month() == 12 && date.day() > 14; }

Tfrm_Logo::Tfrm_Logo(const QDate& today, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      seasonal_(IsSeasonalDay(today)) {
    setObjectName(QStringLiteral("frm_Logo"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The picture's surroundings are transparent, so only the round badge
    // shows over whatever lies behind.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    if (seasonal_) {
        setFixedSize(300, 300);
        Image1->setGeometry(0, 0, 300, 300);
        Image1->setPixmap(SeasonalSplashPicture());
    } else {
        setFixedSize(306, 306);
        Image1->setGeometry(0, 0, 305, 305);
        Image1->setPixmap(SplashPicture());
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kPauseMs);
    connect(Timer1, &QTimer::timeout, this, &Tfrm_Logo::Timer1Timer);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kStepMs);
    connect(Timer2, &QTimer::timeout, this, &Tfrm_Logo::Timer2Timer);

    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->geometry().center() - rect().center());
}

void Tfrm_Logo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    alpha_ = 255;
    setWindowOpacity(1.0);
    Timer1->start();
}

void Tfrm_Logo::Timer1Timer() {
    Timer1->stop();
    Timer2->start();
}

void Tfrm_Logo::Timer2Timer() {
    alpha_ -= kStep;
    setWindowOpacity(alpha_ / 255.0);
    if (alpha_ <= kLastVisibleAlpha) {
        Timer2->stop();
        close();
    }
}

Tfrm_Logo* ShowSplash(QWidget* owner, const QDate& today) {
    auto* logo = new Tfrm_Logo(today, owner);
    logo->show();
    return logo;
}

}  // namespace zomi
