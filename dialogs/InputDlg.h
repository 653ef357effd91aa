#pragma once

// The Input dialog: the sources of inputs 1 to 5, the output, the input delay timing, "Update
// Register on File Load" and the matte view of the selected unit, from the switches menu 46
// names. Apply hands the states to the opener, which writes them.

#include <array>
#include <cstdint>

#include "dialogs/RoutingDlg.h"

class QGroupBox;

// Template 157.
inline constexpr int kInputTemplateWidth = 367;
inline constexpr int kInputTemplateHeight = 276;
inline constexpr int kInputMenuNumber = 46;
inline constexpr std::array<int, 5> kInputSourceSlots = {10, 11, 12, 13, 19};
inline constexpr std::array<int, 5> kIdInputLabels = {1036, 1037, 1038, 1045, 1046};
inline constexpr int kSlotOutput = 14;
inline constexpr int kSlotInputDelay = 15;
inline constexpr int kSlotUpdateRegister = 16;
inline constexpr int kIdOutputLabel = 1047;
inline constexpr int kIdOutputList = 1082;
inline constexpr int kIdUpdateRegister = 1107;
inline constexpr int kIdReferenceNote = 1052;
// The delay buttons in the order of their state values 0..8.
inline constexpr std::array<int, 9> kIdDelayButtons = {1109, 1110, 1113, 1114, 1115,
                                                       1116, 1117, 1118, 1119};
inline constexpr std::array<const char*, 9> kDelayTexts = {
    "No Input Delays",
    "Input 1: Time to Input 2",
    "Input 1: Time to Input 3",
    "Input 1: Time to Input 4",
    "Input 2: Time to Input 1",
    "Input 2: Time to Input 3",
    "Input 2: Time to Input 4",
    "Input 1 && Input 2: Time to Input 3",
    "Input 1 && Input 2: Time to Input 4",
};
inline constexpr const char* kTextUpdateRegister = "Update Register on File Load";
inline constexpr const char* kTextOutput = "Output:";
inline constexpr const char* kTextInputDelayTiming = "Input Delay Timing";
inline constexpr const char* kTextReferenceNote =
    "  Reference source on Input-1 only.\n\n  Any interruptions to the signal on Input-1\n  will "
    "cause interruptions to all output signals.";
// Painted under the input lists when the unit has an output switch.
inline constexpr QLine kInputRule{25, 220, 270, 220};

class CInputDlg final : public CRoutingDlg {
public:
    explicit CInputDlg(QWidget* panel);

    void OnInitDialog() override;
    QPoint Placement(QSize outer) const override;

private:
    void Apply() override;

    std::array<QRadioButton*, 9> m_delay{};
    QCheckBox* m_updateRegister;
    QLabel* m_outputText;
    QLabel* m_note;
    QLabel* m_icon;
    QGroupBox* m_delayGroup;
    QGroupBox* m_outputGroup;
    uint16_t m_delayOpened = 0;  // the delay state the unit held when the dialog opened
};
