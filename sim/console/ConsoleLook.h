#pragma once

#include <QColor>
#include <QString>
#include <string>

// The console's dark look, close to the panel's: grey panels, light grey text, the panel's green
// for what is active, lamps in green (keys) and red (tally).
inline constexpr QColor kConsoleBackground{38, 40, 43};
inline constexpr QColor kConsoleText{217, 217, 217};
inline constexpr QColor kConsoleAccent{145, 192, 74};
inline constexpr QColor kLampLit{120, 235, 90};
inline constexpr QColor kTallyLit{255, 60, 50};
inline constexpr QColor kLampDark{52, 56, 52};

// The style sheet of the whole console window.
QString ConsoleStyleSheet();

// A name from a unit's profile as one line: the '#' suffix cut off, line breaks made spaces.
QString OneLineName(const std::string& name);
// Only the first line of such a name ("Freeze\nOff#FZ" gives "Freeze").
QString FirstLineName(const std::string& name);
