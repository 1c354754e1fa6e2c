#pragma once

// Every picture of the application. They are painted at run time rather than
// shipped as image files, so that the program stays one file and the
// pictures stay sharp at any size. The large pictures of the windows are in
// Pictures.cpp (start-up windows and settings), SplashPictures.cpp and
// DialogPictures.cpp (the working windows), what they share in
// PictureDrawing.cpp; the icons of tool bars, buttons and grids in Icons.cpp,
// those of the year tabs in YearTabIcons.cpp.

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>

namespace zomi {

// A pixmap of the size, transparent all over: the canvas every picture starts on.
QPixmap TransparentPixmap(int width, int height);

// ---- pictures of the windows

// A work sheet with a wrench across it: the about box (256 x 256).
QPixmap ProgramPicture(int size = 256);
// The same drawing at the sizes a window manager and the desktop menu ask for:
// the program's icon.
QIcon ProgramIcon();
inline constexpr int kProgramIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
// A pair of database cylinders, the front one picked out: the chooser (64 x 64).
QPixmap ChooserPicture(int size = 64);
// A database cylinder with a plug: the first-run set-up window (128 x 128).
QPixmap SetUpPicture(int size = 128);
// A gear with a padlock: the settings dialog (64 x 65).
QPixmap SettingsPicture(int width = 64, int height = 65);
// The splash pictures. Their surroundings are transparent, so that the window
// shows only the round badge.
QPixmap SplashPicture();          // 305 x 305
QPixmap SeasonalSplashPicture();  // 300 x 300, a winter night with a fir tree
// A brass padlock with a key in front of it: the login window (64 x 64).
QPixmap LoginPicture(int size = 64);
// A work sheet on a clipboard with a spanner across it: the work-order editor.
QPixmap WorkOrderPicture(int size = 128);
// A worksheet with an arrow leaving it: the export window (72 x 72).
QPixmap ExportPicture(int size = 72);

// The pictures of the print-choice window's options, in the options' order.
enum class PrintChoice { Preview, Printer, Export, Pdf };
QPixmap PrintChoicePicture(PrintChoice choice, int size);

// The decorative picture of an edit window, size x size pixels.
enum class Decor { Contractor, Site, LookupTable, User };
QPixmap DecorPicture(Decor kind, int size);

// ---- icons

// The 24-pixel tool-bar pictures of the list windows and the SQL console.
enum class ToolPicture {
    New,
    Edit,
    Delete,
    Accept,
    Close,
    Copy,
    Search,
    Open,
    Save,
    Export,
    Run,
    Test
};
QIcon ToolBarIcon(ToolPicture kind);

// 16 x 16 pictures of the grid columns that show a yes/no value.
QPixmap EmptyPicture();      // transparent
QPixmap CheckMarkPicture();  // a black check mark
QPixmap GreenTickPicture();
QPixmap RedCrossPicture();

// 16 x 16 button icons: "choose from the list", "compute", "to the clipboard".
QIcon ChooserIcon();
QIcon ComputeIcon();
QIcon ClipboardIcon();

// The 26 year-tab icons: 0 a blue arrow pointing left, 1 to 24 red arrows
// pointing right, 25 both arrows.
QList<QIcon> YearTabIconList();
// The icons of the tabs for the given number of year tabs (the "Összes" tab
// follows them): position 1 is removed until the list fits, so the first tab
// keeps the left arrow and the later ones take the last icons of the list.
QList<QIcon> YearTabIcons(int yearTabs);
// Icons of the register's tool bars (32 x 32), by action name; a null icon
// for an action without one.
QIcon RegisterIcon(const QString& actionName);

}  // namespace zomi
