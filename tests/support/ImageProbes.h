#pragma once

// Rendering a widget into an image and probing its pixels, for the widget tests.

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

// What a widget's image shows where the widget draws nothing.
inline const QColor kProbeBackground(0, 0, 40);

// A rectangle given as (left, top, right, bottom), right and bottom outside it.
inline QRect Gdi(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

// The widget and its children drawn on kProbeBackground.
QImage Render(QWidget& widget);

// The smallest rectangle holding every pixel of area that matches; empty when none does.
QRect Matching(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match);
