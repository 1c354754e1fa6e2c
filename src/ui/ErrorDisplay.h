#pragma once

// The application's general error display: a failure that no window handles
// itself is shown in the error box with the error's own message (for the
// server's common refusals a Hungarian sentence first, dbaccess/Refusal.h),
// and the application goes on.

#include <exception>

class QWidget;

namespace zomi {

void ShowError(const std::exception& error, QWidget* owner);

// Runs a user action; an error it raises is shown, not thrown on into Qt's
// event loop. Returns whether the action completed.
template <typename Action>
bool Guarded(QWidget* owner, Action&& action) {
    try {
        action();
        return true;
    } catch (const std::exception& error) {
        ShowError(error, owner);
        return false;
    }
}

}  // namespace zomi
