#include "ui/RightsGuard.h"

#include <QAction>
#include <QVariant>

#include "ui/Boxes.h"

namespace zomi {

namespace {

const char* const kOwnHint = "zomiOwnHint";

}  // namespace

void ApplyRight(QAction* action, Right right) {
    // The action's own hint, kept from the first call.
    if (!action->property(kOwnHint).isValid()) action->setProperty(kOwnHint, action->toolTip());
    const QString hint = action->property(kOwnHint).toString();
    const bool allowed = HasRight(right);
    action->setEnabled(allowed);
    action->setToolTip(allowed ? hint : RightHint(hint, right));
    action->setStatusTip(action->toolTip());
}

bool CheckRight(Right right, QWidget* owner) {
    if (HasRight(right)) return true;
    ErrorBox(RightRefusal(right), owner);
    return false;
}

}  // namespace zomi
