#pragma once

#include <string>

enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptIcon { None, Information, Warning, Stop, Question };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// Every modal message box of the program goes through the one Prompter, so tests can answer
// them from a script and assert on their texts.
class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows text with the caption, buttons and icon, and waits for the operator's answer.
    virtual PromptAnswer Show(const std::string& text, const std::string& caption,
                              PromptButtons buttons, PromptIcon icon) = 0;
};

// Message boxes on screen. Texts are single-byte (what a unit sends is Latin-1).
class MessageBoxPrompter final : public Prompter {
public:
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
};

class QWidget;
// The panel's window, which message boxes are centred on; null until the panel sets itself.
// In a kiosk (frameless) the boxes carry no title bar, whose buttons a finger could hit.
void SetPromptWindow(QWidget* panel, bool frameless = false);

// The process-wide prompter; a MessageBoxPrompter until another is set.
void SetPrompter(Prompter* prompter);
Prompter& ThePrompter();
