#include "ui/PlacedDialog.h"

#include <QShowEvent>

#include "common/Beall.h"
#include "ui/ErrorDisplay.h"
#include "ui/WindowHelpers.h"

namespace zomi {

PlacedDialog::PlacedDialog(const QString& section, QWidget* parent) : QDialog(parent) {
    setObjectName(section);
}

void PlacedDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ApplyFontSize(this, Beall.FontSize);
        RestoreWindowPlacement(this, objectName());
    }
    QDialog::showEvent(event);
}

void PlacedDialog::done(int result) {
    Guarded(this, [this] { StoreWindowPlacement(this, objectName()); });
    QDialog::done(result);
}

}  // namespace zomi
