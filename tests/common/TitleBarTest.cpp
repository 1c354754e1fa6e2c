#include <gtest/gtest.h>

#include "common/TitleBar.h"

namespace zomi {
namespace {

const QRect kLeftScreen(0, 0, 1280, 1024);
const QRect kRightScreen(1280, 0, 1920, 1080);
const QList<QRect> kTwoScreens{kLeftScreen, kRightScreen};

QPoint keep(int left, int top, int width = 500) {
    return KeepTitleBarOnScreen(QRect(left, top, width, 300), 20, kTwoScreens);
}

TEST(TitleBar, AReachableTitleBarStaysWhereItWas) {
    EXPECT_EQ(keep(100, 0), QPoint(100, 0));
    EXPECT_EQ(keep(-460, 500), QPoint(-460, 500));     // 40 pixels still on the screen
    EXPECT_EQ(keep(3000, 1060), QPoint(3000, 1060));   // the second screen's last rows
    EXPECT_EQ(keep(1000, 10, 600), QPoint(1000, 10));  // across both screens
}

TEST(TitleBar, OneOffEveryScreenComesBackOntoTheNearest) {
    // Above the top edge, as a window that crept up under a window manager.
    EXPECT_EQ(keep(100, -30), QPoint(100, 0));
    EXPECT_EQ(keep(100, -10), QPoint(100, 0));
    // Beyond the left edge, and below the shorter left screen.
    EXPECT_EQ(keep(-2000, 300), QPoint(-460, 300));
    EXPECT_EQ(keep(200, 1050), QPoint(200, 1004));
    // Far to the right, below the second screen.
    EXPECT_EQ(keep(5000, 2000), QPoint(3160, 1060));
    EXPECT_EQ(KeepTitleBarOnScreen(QRect(-50, -50, 10, 10), 20, {}), QPoint(-50, -50));
}

}  // namespace
}  // namespace zomi
