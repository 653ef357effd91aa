#pragma once

#include <string_view>

// What a service engineer must know goes to stderr as well, one line each, so that the journal
// of the kiosk session holds it: "kv4panel: " and the text, line breaks folded into blanks.
void ReportLine(std::string_view text);
