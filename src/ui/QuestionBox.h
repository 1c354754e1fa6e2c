#pragma once

// A question of the boxes of Boxes.h whose default answer is No, for a Yes
// that cannot be undone: Enter answers No. The request handed to a box
// responder carries the default answer's text, "Nem", as its value.

#include <QString>

class QWidget;

namespace zomi {

bool ConfirmBoxDefaultNo(const QString& text, const QString& caption, QWidget* owner);

}  // namespace zomi
