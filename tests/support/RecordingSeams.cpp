#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

void RecordingPrompter::Expect(const std::string& text, PromptAnswer answer) {
    m_expected.push_back({text, answer});
}

PromptAnswer RecordingPrompter::Show(const std::string& text, const std::string& caption,
                                     PromptButtons buttons, PromptIcon icon) {
    shown.push_back({text, caption, buttons, icon});
    if (m_expected.empty()) {
        ADD_FAILURE() << "unexpected message box: \"" << text << "\"";
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    }
    const Expected next = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(next.text, text) << "a message box showed another text than expected";
    return next.answer;
}

void RecordingPrompter::ExpectDone() {
    for (const auto& missing : m_expected)
        ADD_FAILURE() << "expected message box never appeared: \"" << missing.text << "\"";
    m_expected.clear();
}

void RecordingPrompter::Reset() {
    m_expected.clear();
    shown.clear();
}

Launcher::Handle RecordingLauncher::Start(const std::string& program,
                                          const std::vector<std::string>& args) {
    started.push_back({program, args});
    return failStarts ? 0 : static_cast<Handle>(started.size());
}

void RecordingLauncher::Terminate(Handle handle) {
    terminated.push_back(handle);
}

RecordingPrompter& TestPrompter() {
    static RecordingPrompter prompter;
    return prompter;
}

RecordingLauncher& TestLauncher() {
    static RecordingLauncher launcher;
    return launcher;
}

RecordingPower& TestPower() {
    static RecordingPower power;
    return power;
}
