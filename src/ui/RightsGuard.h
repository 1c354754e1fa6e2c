#pragma once

// The users' rights in the windows: what a user may not do is shown
// disabled, its hint naming the right, and an opener refuses it with a box
// that names the right (common/Rights.h decides).

#include "common/Rights.h"

class QAction;
class QWidget;

namespace zomi {

// Enables the action when the user holds the right; disables it otherwise,
// the hint saying which right it needs. Call again when the rights change.
void ApplyRight(QAction* action, Right right);

// True when the user holds the right; otherwise shows the refusal naming it.
bool CheckRight(Right right, QWidget* owner);

}  // namespace zomi
