// The touch keyboard of the dialogs that take a typed name: Qt's virtual keyboard, filling the
// widget the dialog gives it.
import QtQuick
import QtQuick.VirtualKeyboard

InputPanel {
    id: panel

    // A dialog that opens finds the letters, whatever page the last one was left on.
    function showLetters() {
        panel.keyboard.symbolMode = false
    }
}
