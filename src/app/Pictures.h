#pragma once

// The pictures of the application shell. They are painted at run time rather
// than shipped as image files, so that the program stays one file and the
// pictures stay sharp at any size.

#include <QPixmap>

namespace zomi {

// A work sheet with a wrench across it: the about box (256 x 256).
QPixmap ProgramPicture(int size = 256);

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

}  // namespace zomi
