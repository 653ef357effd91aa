#pragma once

// What a fuzzer that drives widgets needs once per process: an off-screen application, message
// boxes that answer at once, and no dialog that waits for a hand.

#include <QApplication>
#include <cstdlib>

#include "platform/Prompter.h"

class AnsweringPrompter final : public Prompter {
public:
    PromptAnswer Show(const std::string&, const std::string&, PromptButtons buttons,
                      PromptIcon) override {
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

inline void StartFuzzApplication() {
    static int argc = 1;
    static char name[] = "kv4_fuzz";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication app(argc, argv);
    static AnsweringPrompter prompter;
    SetPrompter(&prompter);
}
