#pragma once

// Where everything sits on the 800 x 600 touch screen, in client pixels.

#include <QPoint>
#include <QRect>
#include <array>

inline constexpr QRect kPanelFrameRect{-3, -29, 806, 632};
inline constexpr int kPanelFrameBorder = 3;
inline constexpr int kPanelCaptionHeight = 26;

// The client area inside kPanelFrameRect: (0, 0), 800 x 600. On Linux the window has no frame,
// so its client area goes straight to where the frame would have put it.
QRect PanelClientRect();

inline constexpr QRect kLogoRect{300, 0, 200, 28};
inline constexpr QPoint kInfoPanelPlace{171, 398};
inline constexpr QPoint kUnitStripPlace{171, 509};
inline constexpr QPoint kTitleStripPlace{171, 560};

inline constexpr std::array<QPoint, 8> kKnobPlaces = {
    QPoint{0, 0},   QPoint{0, 170},   QPoint{0, 340},   QPoint{0, 509},
    QPoint{652, 0}, QPoint{652, 170}, QPoint{652, 340}, QPoint{652, 509}};

inline constexpr std::array<QPoint, 10> kMenuButtonPlaces = {
    QPoint{242, 114}, QPoint{362, 114}, QPoint{482, 114}, QPoint{182, 163}, QPoint{302, 163},
    QPoint{422, 163}, QPoint{542, 163}, QPoint{242, 212}, QPoint{362, 212}, QPoint{482, 212}};

inline constexpr std::array<QPoint, 6> kFunctionButtonPlaces = {QPoint{167, 305}, QPoint{245, 305},
                                                                QPoint{323, 305}, QPoint{401, 305},
                                                                QPoint{479, 305}, QPoint{557, 305}};

// Dialog units of the classic 8-point dialog font: 1.5 pixels across, 1.625 down.
QRect DialogUnitsToPixels(int x, int y, int width, int height);

// The title of the control-group area: x 100, y 22, 334 x 17 dialog units.
QRect TitleLabelRect();

// Bitmaps of the buttons: faces for normal and marked.
inline constexpr int kMenuButtonFace = 157;
inline constexpr int kFunctionButtonFace = 160;
inline constexpr int kFunctionButtonMarked = 159;

// Model logos, by the control ids the panel knows them by; 1064 is the default one.
inline constexpr std::array<int, 9> kModelLogoIds = {1053, 1061, 1062, 1063, 1064,
                                                     1065, 1066, 1067, 1127};
inline constexpr int kDefaultLogo = 1064;
