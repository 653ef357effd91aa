#include "tests/support/ImageProbes.h"

QImage Render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(kProbeBackground);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QRect Matching(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    QRect found;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (match(image.pixelColor(x, y))) found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}
