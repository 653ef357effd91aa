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

// The panel's face is Trebuchet MS. Debian ships DejaVu instead: its condensed cut comes closest
// to Trebuchet's widths (the status lines of the info panel need that), DejaVu Sans stands in
// where the condensed cut is missing. The same faces on every machine keep the drawing the same.
void UsePanelFaces();

// The resolution the panel's fonts are scaled for.
inline constexpr int kPanelDpi = 96;
