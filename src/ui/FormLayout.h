#pragma once

// Building blocks of the edit windows laid out as their design drew them:
// fixed control widths that grow with the font, captions above controls,
// rows of such columns, picture buttons and read-only name boxes.

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QIcon;
class QLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace zomi {

// Fixes the control's width (and height, when given) at its design size.
void SetDesignWidth(QWidget* control, int width, int height = 0);
// Grows the design sizes of the window's controls alike when the window's
// font is larger than the design font, so that dates and amounts still fit.
void FitDesignSizes(QWidget* window, double designPointSize);

// A 25 x 23 button showing only the icon, which Enter presses when focused
// but which never looks like the dialog's default button.
QPushButton* PictureButton(const QString& name, const QIcon& icon, QWidget* parent);
// A read-only box for a name the window looks up; a click can focus it, Tab cannot.
QLineEdit* NameBox(const QString& name, QWidget* parent);

// A control under its caption, with an optional button right of it.
QVBoxLayout* Labelled(const QString& caption, QWidget* control, QWidget* button = nullptr);
// Such columns side by side, left-aligned.
QHBoxLayout* RowOf(std::initializer_list<QLayout*> parts, int spacing = 14);

}  // namespace zomi
