#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Launcher.h"
#include "platform/Power.h"
#include "platform/Prompter.h"

// Answers message boxes from a script and records every one shown. A box the script does not
// expect fails the running test.
class RecordingPrompter final : public Prompter {
public:
    struct Shown {
        std::string text;
        std::string caption;
        PromptButtons buttons;
        PromptIcon icon;
    };

    // The next box must show exactly text; it is answered with answer.
    void Expect(const std::string& text, PromptAnswer answer = PromptAnswer::Ok);
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
    // Fails the running test if an expected box never appeared.
    void ExpectDone();
    void Reset();

    std::vector<Shown> shown;

private:
    struct Expected {
        std::string text;
        PromptAnswer answer;
    };
    std::deque<Expected> m_expected;
};

// Records the programs started and ended instead of running them.
class RecordingLauncher final : public Launcher {
public:
    struct Started {
        std::string program;
        std::vector<std::string> args;
    };
    Handle Start(const std::string& program, const std::vector<std::string>& args) override;
    void Terminate(Handle handle) override;

    std::vector<Started> started;
    std::vector<Handle> terminated;
    bool failStarts = false;
};

// Counts power-offs instead of switching the machine off.
class RecordingPower final : public Power {
public:
    void PowerOff() override { ++powerOffs; }
    int powerOffs = 0;
};

// The doubles every test runs with; the test main installs them and checks the prompter's
// script after each test.
RecordingPrompter& TestPrompter();
RecordingLauncher& TestLauncher();
RecordingPower& TestPower();
