#pragma once

// What the pictures of the windows share: the 256-unit drawing space, the
// fonts by pixel size, and the program's own scene (a work sheet with a
// wrench across it), which the about box, the icon and the splash show.

#include <QFont>
#include <QPainter>
#include <QString>

namespace zomi::pictures {

// Every such picture is drawn in a square of 256 units and scaled to the size asked.
void scaleTo(QPainter& p, int width, int height);
QFont pixelFont(const QString& family, int pixels, bool bold);
// The work sheet tilted slightly with the wrench laid across its corner.
void drawProgramScene(QPainter& p);

}  // namespace zomi::pictures
