#pragma once

#include <QtGlobal>
#include <functional>
#include <string>
#include <vector>

// The one line the program prints when Qt finds no display to show the panel on: what is not
// set or cannot be reached, and what to set or run instead. env reads an environment variable
// ("" when it is not set).
std::string NoDisplayLine(const std::function<std::string(const char*)>& env);

// Held while the application object comes up. Qt ends a program that finds no display with an
// abort (and a core dump); under this guard its fatal message becomes NoDisplayLine on stderr
// and exit status 1. Qt's warnings before it are held back and printed only when the
// application object came up after all.
class CDisplayGuard {
public:
    CDisplayGuard();
    ~CDisplayGuard();
    CDisplayGuard(const CDisplayGuard&) = delete;
    CDisplayGuard& operator=(const CDisplayGuard&) = delete;

private:
    QtMessageHandler m_previous;
};

inline constexpr int kExitNoDisplay = 1;
