#include "widgets/Resources.h"

#include <cstdlib>

QString BitmapPath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

QPixmap LoadBitmapResource(int id) {
    return QPixmap(BitmapPath(id));
}

int FontPixelHeight(int logPixelsY, int n) {
    return -(logPixelsY * n / 96);
}

QFont PanelFont(int pixelHeight, int weight) {
    QFont font(QStringLiteral("Trebuchet MS"));
    // A negative height is the character height without internal leading, which is what a
    // pixel size in Qt measures.
    font.setPixelSize(std::abs(pixelHeight));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
