#pragma once

// The touch keyboard of the dialogs that take a typed name. Under the kiosk there is no second
// window and no desktop keyboard, so the keyboard is Qt's virtual keyboard drawn inside the
// dialog's own window, below its controls, where it never covers the field it types into.
// There is one keyboard for the whole program: it moves into the dialog that opens and leaves
// with it (one keyboard, loaded once, costs nothing more per dialog).

#include <string>

class QLineEdit;
class QWidget;

// Before the application object exists: makes Qt's virtual keyboard the input method, never in
// a window of its own, and drawn without a graphics card. Without this a dialog simply has no
// keyboard (as in the tests that do not ask for one).
void PrepareTouchKeyboard();

// Puts the keyboard into dialog at top, the dialog's width, typing into target; returns the
// height it takes, 0 when there is no keyboard (not prepared, or it failed to load: said once
// on stderr).
int AttachTouchKeyboard(QWidget* dialog, QLineEdit* target, int top);
// Takes the keyboard out of dialog, if it is there.
void DetachTouchKeyboard(QWidget* dialog);
// The keyboard widget while it is in dialog, else null.
QWidget* TouchKeyboardIn(const QWidget* dialog);

// The object name of the keyboard widget.
inline constexpr const char* kTouchKeyboardName = "touchKeyboard";
