#pragma once

// The GPI dialog of units outside group A: the sequences as on group-A units, and for the input
// of each tab its enable, high-enable and dwell settings. The unit shows one input's settings at
// a time, through the controls the GPI menu names: the dialog reads every input's on opening,
// keeps the operator's changes, and writes them all back when its window is gone.

#include <array>
#include <cstdint>

#include "dialogs/GpiDlg.h"
#include "link/PanelState.h"

class CUpDownCtrl;
class QCheckBox;
class QLabel;

// Template 181.
inline constexpr int kGpiInputTemplate = 181;
inline constexpr int kGpiInputTemplateHeight = 241;
inline constexpr int kIdGpiInputEnable = 1107;
inline constexpr int kIdGpiHighEnable = 1108;
inline constexpr int kIdGpiDwellUpDown = 1116;
inline constexpr int kIdGpiDwellValue = 1114;

inline constexpr int kGpiDwellMin = 0;
inline constexpr int kGpiDwellMax = 120;
// Held this long, the up-down control moves the dwell time by the fast step.
inline constexpr int kGpiDwellFastAfterS = 2;
inline constexpr int kGpiDwellFastStep = 5;

// Where the GPI menu names its input controls.
inline constexpr int kGpiDwellKnob = 0;
inline constexpr int kGpiSelectKnob = 1;
inline constexpr int kGpiEnableItem = 10;
inline constexpr int kGpiHighItem = 11;
// Sent to a switch, it makes the unit report the switch's state.
inline constexpr uint8_t kReportSwitchState = 255;

inline constexpr const char* kMsgGpiInputsUnread =
    "The Main Unit did not answer!  The settings of GPI inputs it did not report cannot be "
    "changed.";
inline constexpr const char* kMsgGpiInputsUnwritten =
    "The Main Unit did not answer!  The GPI input settings have not all been written.";

class CGpiInputDlg : public CGpiDlg {
public:
    explicit CGpiInputDlg(QWidget* panel);

protected:
    int FirstTab() override;
    void OnTabAdded(int tab) override;
    void OnTabShown(int tab) override;
    void OnDestroyed() override;

private:
    struct InputSettings {
        int32_t inputEnable = 0;
        int32_t highEnable = 0;
        int32_t dwellTime = 0;
        bool reported = false;  // the unit reported them: only these are shown and written back
    };

    // Writes every reported input's settings back; false at the first write the unit failed.
    bool WriteBack() const;

    bool OnDwellMove(int pos, int delta);
    void ShowDwell(int32_t dwell);

    std::array<InputSettings, kMaxGpiSequences> m_inputs{};
    bool m_saidUnread = false;
    QCheckBox* m_inputEnable;
    QCheckBox* m_highEnable;
    CUpDownCtrl* m_dwell;
    QLabel* m_dwellValue;
};
