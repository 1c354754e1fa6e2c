#pragma once

// The pictures of the master-data and user windows, drawn at run time so that
// the program carries no image files: tool-bar pictures, the check marks of
// the grids and the decorative pictures of the edit windows.

#include <QIcon>
#include <QPixmap>

namespace zomi {

enum class ToolKep { Uj, Szerkeszt, Torol, Elfogad, Bezar, Masol, Keres };

QIcon ToolBarIcon(ToolKep kind);

// 16 x 16 pictures of the grid columns that show a yes/no value.
QPixmap UresKep();   // empty and transparent
QPixmap PipaKep();   // a check mark
QPixmap ZoldPipa();  // green tick
QPixmap PirosX();    // red cross

enum class DiszKep { Vallalkozo, Ktgh, Torzsadat, Felhasznalo };

// The decorative picture of an edit window, size x size pixels.
QPixmap DecorPicture(DiszKep kind, int size);

}  // namespace zomi
