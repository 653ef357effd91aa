// The touch keyboard of the dialogs that take a typed name: Qt's virtual keyboard, filling the
// widget the dialog gives it.
import QtQuick
import QtQuick.VirtualKeyboard
import QtQuick.VirtualKeyboard.Settings

InputPanel {
    id: panel

    // One layout: the names the units keep are Latin-1, and a language switch would only offer
    // letters they cannot carry.
    Component.onCompleted: {
        VirtualKeyboardSettings.locale = "en_GB"
        VirtualKeyboardSettings.activeLocales = ["en_GB"]
    }

    // A dialog that opens finds the letters, whatever page the last one was left on.
    function showLetters() {
        panel.keyboard.symbolMode = false
    }
}
