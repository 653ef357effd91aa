#include "app/panel/PanelLayout.h"

#include <cmath>

QRect PanelClientRect() {
    const int left = kPanelFrameRect.left() + kPanelFrameBorder;
    const int top = kPanelFrameRect.top() + kPanelFrameBorder + kPanelCaptionHeight;
    const int width = kPanelFrameRect.width() - 2 * kPanelFrameBorder;
    const int height = kPanelFrameRect.height() - 2 * kPanelFrameBorder - kPanelCaptionHeight;
    return {left, top, width, height};
}

QRect DialogUnitsToPixels(int x, int y, int width, int height) {
    auto across = [](int units) { return static_cast<int>(std::lround(units * 1.5)); };
    auto down = [](int units) { return static_cast<int>(std::lround(units * 1.625)); };
    return {across(x), down(y), across(width), down(height)};
}

QRect TitleLabelRect() {
    return DialogUnitsToPixels(100, 22, 334, 17);
}
