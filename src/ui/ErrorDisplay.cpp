#include "ui/ErrorDisplay.h"

#include <QString>

#include "ui/Boxes.h"

namespace zomi {

void ShowError(const std::exception& error, QWidget* owner) {
    // Every error of the application carries its message as UTF-8.
    ErrorBox(QString::fromUtf8(error.what()), owner);
}

}  // namespace zomi
