#pragma once

#include <QString>

class QApplication;

// One dark look for the setup dialogs and the message boxes, close to the panel's artwork:
// charcoal faces, light grey text, the panel's green for what is chosen, buttons sized for a
// finger. The main panel draws itself and is not touched by it.
QString DialogStyleSheet();

// What a finger must hit: check box and radio button indicators and scroll bars at least this
// wide, the entries of an open drop-down list at least kTouchListEntry tall.
inline constexpr int kTouchIndicator = 24;
inline constexpr int kTouchListEntry = 32;

// The application's style: the platform's own with the touch sizes above, and the sheet.
void ApplyPanelStyle(QApplication& app);
