#pragma once

#include <QString>

// One dark look for the setup dialogs and the message boxes, close to the panel's artwork:
// charcoal faces, light grey text, the panel's green for what is chosen, buttons sized for a
// finger. The main panel draws itself and is not touched by it.
QString DialogStyleSheet();
