#pragma once

#include <QPixmap>
#include <QString>

// The framework's pictures, drawn by us on first use and kept for the process:
//   "face"                  the button face: nine equal slices side by side, left end, middle and
//                           right end for the normal, lit and pressed looks
//   "glyph/<kind>"          a kind's built-in glyph: normal, disabled and lit images side by side
//   "badge/<n>"             the badges 1 to 8; 1, 2, 6, 7 and 8 hold a normal and a disabled half
//   "dialog"                the custom-dialog picture of the detail title bar
//   "logo", "logo-grayed"   the application's logo on the main title bar
// Every picture's top-left pixel has its key colour. An unknown name gives a null pixmap, which
// draws nothing.
QPixmap ZeltPicture(const QString& name);

// Drops the drawn pictures (at teardown, while the application object still exists).
void ZeltPicturesClear();

// The picture with every pixel of its top-left pixel's colour made transparent.
QPixmap ZeltKeyTransparent(const QPixmap& picture);
// The same with a given key colour (a slice of a picture keyed by the whole picture's corner).
QPixmap ZeltKeyTransparent(const QPixmap& picture, const QColor& key);
