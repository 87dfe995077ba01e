// The image strips: horizontal rows of square cells on a transparent background, one strip per resource,
// cells in the order the program's units index them.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace art {

struct StripArt {
  QString resourceName;  // also the file name without ".png"
  int cell;              // cell width and height in pixels
  QStringList meanings;  // one per cell, in order
  QImage image;
};

std::vector<StripArt> DrawStrips();

// The window and tray icon at `size` pixels (16, 32, 48 or 64).
QImage DrawAppIcon(int size);
// The maker's logo of the about box, 24 x 16 pixels.
QImage DrawLogo();

} // namespace art
