#pragma once

// What every window of the application does the same way: its font size,
// its saved placement, the colour of the focused edit box, and Enter moving
// on to the next field in the edit dialogs.

#include <QColor>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

class QObject;
class QWidget;

namespace zomi {

// RGB(166, 202, 240): the background of the edit box that has the focus.
QColor FocusColor();

// Sets the point size of the window's font (children inherit it); 0 leaves it.
void ApplyFontSize(QWidget* window, int pointSize);

// Fixed-size dialogs keep their position, resizable windows also their size,
// in the settings-file section named after the window. The position is the
// outer frame's top-left corner, the size the client area's, so that what is
// stored comes back exactly; a position whose title bar would be on no screen
// is pulled onto the nearest one.
void RestoreWindowPos(QWidget* window, const QString& section);
void StoreWindowPos(QWidget* window, const QString& section);  // failures ignored
void RestoreWindowPlacement(QWidget* window, const QString& section);
void StoreWindowPlacement(QWidget* window, const QString& section);  // failures reach the caller
// Puts the window's outer frame's top-left corner at the point, or onto the
// nearest screen when its title bar would be on none.
void PlaceFrameAt(QWidget* window, const QPoint& topLeft);

// What a fixed-size window does when it first shows: it takes the font size,
// grows from its design size to what its controls need at that font (a
// larger font must not cut them off), and takes its saved position from the
// section, or the middle of the screen when the section is empty.
void FitOnFirstShow(QWidget* window, int fontSize, const QSize& designSize, const QString& section);

// Places the window so that its outer frame, title bar and borders included,
// covers the rectangle. A window manager tells the frame's size only once
// the window is on the screen, so the size is corrected again when it does.
void CoverWithFrame(QWidget* window, const QRect& frame);

// Shows the window again if it was minimised, raises it and activates it.
void BringToFront(QWidget* window);

// A notice must not take the keyboard from a user who is typing in another
// window of the program: it waits until the typing pauses for this long.
inline constexpr int kTypingPauseMs = 1500;
// Notes from now on when a key was last pressed in any window of the program.
void WatchTyping();
// Runs the step at once when no key was pressed for kTypingPauseMs, else as
// soon as the typing pauses that long; dropped when the context goes first.
void WhenTypingPauses(QObject* context, std::function<void()> step);

// Paints the focused edit box (line edits, text boxes, combo and spin boxes)
// of the window in FocusColor.
void EnableFocusColor(QWidget* window);
// The same for the given controls only.
void EnableFocusColor(const QList<QWidget*>& controls);

// Enter moves the focus to the next control, check boxes included, except
// inside a multi-line box and on a push button (which Enter presses);
// Ctrl+Enter is left to the window.
void EnableEnterMovesFocus(QWidget* window);

}  // namespace zomi
