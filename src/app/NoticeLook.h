#pragma once

// What the version and the news window share: their design font and size,
// their coloured background, the title across the top, and the check box
// and "OK" button along the bottom.

#include <QColor>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
class QWidget;

namespace zomi {

// Font, size and background; the two windows keep their design font
// whatever the register's font size.
void SetUpNoticeWindow(QWidget* window, const QColor& background);
QLabel* NoticeTitle(QWidget* window, const char* name, const QString& text);
// Word-wrapped and vertically centred, shown as typed (no markup).
QLabel* NoticeText(QWidget* window, const char* name, const QString& text);
QCheckBox* NoticeCheckBox(QWidget* window, const QString& caption);
QPushButton* NoticeOkButton(QWidget* window);

// The title across the top, the text from 48 pixels down to textBottomGap
// above the bottom, and the bottom row 35 pixels from the bottom with "OK"
// at the right.
void PlaceNoticeControls(QWidget* window, QLabel* title, QLabel* text, int textBottomGap,
                         QCheckBox* checkBox, QPushButton* ok);

}  // namespace zomi
