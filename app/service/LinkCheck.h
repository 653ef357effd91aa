#pragma once

// The bring-up report for a service engineer at a panel PC: the port, the control surface, the
// four Main Units and the link's timing, on a terminal, without a display. It sends only what
// the panel's own link start and scan send, and a selection's reads (title, menu blob).

#include <cstdio>
#include <string>

// Over the port already set (SetPortIo), described as the report names it; returns the exit
// status: 0 when the control surface answers, 1 otherwise.
int RunLinkCheck(const std::string& portName, std::FILE* out);
