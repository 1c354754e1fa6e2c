#include "ui/ErrorDisplay.h"

#include <QString>

#include "dbaccess/Refusal.h"
#include "ui/Boxes.h"

namespace zomi {

void ShowError(const std::exception& error, QWidget* owner) {
    // The server's common refusals in Hungarian first, its own text below.
    ErrorBox(dbaccess::RefusalText(error), owner);
}

}  // namespace zomi
