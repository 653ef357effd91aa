#include "widgets/Resources.h"

#include <cstdlib>

QString BitmapPath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

// The bitmaps are built into the widgets library; a static library's resources must be
// registered by hand before their first use.
static void RegisterBitmaps() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(res);
        return true;
    }();
    (void)registered;
}

QPixmap LoadBitmapResource(int id) {
    RegisterBitmaps();
    return QPixmap(BitmapPath(id));
}

int FontPixelHeight(int logPixelsY, int n) {
    return -(logPixelsY * n / 96);
}

QFont FaceFont(const QString& face) {
    QFont font(face);
    if (face == QLatin1String(kPanelFaceName)) font.setStretch(kPanelFaceStretch);
    return font;
}

QFont PanelFont(int pixelHeight, int weight) {
    QFont font = FaceFont(QLatin1String(kPanelFaceName));
    // A negative height is the character height without internal leading, which is what a
    // pixel size in Qt measures.
    font.setPixelSize(std::abs(pixelHeight));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void UsePanelFaces() {
    QFont::insertSubstitutions(
        QLatin1String(kPanelFaceName),
        {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
}
