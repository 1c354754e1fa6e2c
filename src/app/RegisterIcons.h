#pragma once

#include <QIcon>
#include <QList>

namespace zomi {

// The 26 year-tab icons: 0 a blue arrow pointing left, 1 to 24 red arrows
// pointing right, 25 both arrows.
QList<QIcon> YearTabIconList();

// The icons of the tabs for the given number of year tabs (the "Összes" tab
// follows them): position 1 is removed until the list fits, so the first tab
// keeps the left arrow and the later ones take the last icons of the list.
QList<QIcon> YearTabIcons(int yearTabs);

// Icons of the register's tool bars, drawn so that they look alike on
// every platform.
QIcon RegisterIcon(const QString& actionName);

}  // namespace zomi
