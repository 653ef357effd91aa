#include "platform/Report.h"

#include <cstdio>
#include <string>

namespace {
constexpr std::string_view kPrefix = "kv4panel: ";
}  // namespace

void ReportLine(std::string_view text) {
    std::string line(kPrefix);
    bool folded = false;  // a line break was met; the next character starts after one blank
    for (char c : text) {
        if (c == '\n' || c == '\r') {
            while (line.size() > kPrefix.size() && line.back() == ' ')
                line.pop_back();
            folded = true;
            continue;
        }
        if (folded && c == ' ') continue;
        if (folded && line.size() > kPrefix.size()) line += ' ';
        folded = false;
        line += c;
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}
