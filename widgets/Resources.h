#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

// Bitmaps keep the resource ids the panel's screens are drawn with: ":/bitmaps/<id>.png".
QString BitmapPath(int id);
// The bitmap with that id; a null pixmap when the program holds none.
QPixmap LoadBitmapResource(int id);

// Font heights are given in pixels as -(LOGPIXELSY x n / 96) with integer division, so that
// the panel looks the same at any resolution; at 96 dpi that is simply -n.
int FontPixelHeight(int logPixelsY, int n);

// The panel's face at a pixel height (negative: character height) and weight.
QFont PanelFont(int pixelHeight, int weight);

// The panel's face is Trebuchet MS. Debian ships DejaVu instead, whose letters are about a fifth
// wider: the stand-in is narrowed to Trebuchet's widths, so that every text fits the box it was
// laid out for (the info panel's colour line at 100% needs all of its 355 pixels).
inline constexpr const char* kPanelFaceName = "Trebuchet MS";
inline constexpr int kPanelFaceStretch = 78;  // percent of the stand-in's own width
// A font of the named face; the panel's face comes narrowed to Trebuchet's widths.
QFont FaceFont(const QString& face);

// DejaVu Sans Condensed first, DejaVu Sans where the condensed cut is missing. The same faces
// on every machine keep the drawing the same.
void UsePanelFaces();

// The resolution the panel's fonts are scaled for.
inline constexpr int kPanelDpi = 96;
