#pragma once

// The application's general error display: a failure that no window handles
// itself is shown with the error's own message (the server's, where the
// server gave one) in the error box, and the application goes on.

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
