#pragma once

#include <QGroupBox>
#include <string>
#include <utility>
#include <vector>

#include "sim/SimProfile.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class SimRig;
class SimUnit;

// What a trainer can do to one Main Unit of the simulated rig: put it on or off the line, power
// it off and on as another model, set its tally, reference video and boot mode, move one of its
// controls as an operator at the unit would, post one of its messages or questions, and make it
// fail on the link (no answer, slow, corrupt answers).
class CSimUnitPanel : public QGroupBox {
    Q_OBJECT
public:
    CSimUnitPanel(SimRig& rig, int number, QWidget* parent = nullptr);

    // Shows the unit as it is now; lists its profile's controls and messages again when the
    // unit was replaced.
    void Sync();

    int Number() const { return m_number; }
    QCheckBox* OnlineBox() const { return m_online; }
    QLabel* StateLabel() const { return m_state; }
    QComboBox* ProfileBox() const { return m_profile; }
    QCheckBox* TallyBox() const { return m_tally; }
    QComboBox* ControlBox() const { return m_control; }
    QSlider* ValueSlider() const { return m_slider; }
    QSpinBox* ValueSpin() const { return m_value; }
    QComboBox* MessagePicker() const { return m_message; }
    QPushButton* PostButton() const { return m_post; }
    QComboBox* CorruptionBox() const { return m_corruption; }

    // The profiles built into the program, by file name, read once.
    static const std::vector<std::pair<std::string, SimProfile>>& ShippedProfiles();

private:
    SimUnit* Unit() const;
    // Fills the lists that come from the unit's profile.
    void Rebuild();
    void ShowControlRange();
    void ShowValue();
    void ChooseProfile(int index);
    void ApplyCorruption();

    SimRig& m_rig;
    int m_number;
    const SimUnit* m_shown = nullptr;  // the unit the lists were made for

    QCheckBox* m_online = nullptr;
    QLabel* m_state = nullptr;
    QComboBox* m_profile = nullptr;
    QCheckBox* m_tally = nullptr;
    QCheckBox* m_reference = nullptr;
    QCheckBox* m_boot = nullptr;
    QComboBox* m_control = nullptr;
    QSlider* m_slider = nullptr;
    QSpinBox* m_value = nullptr;
    QComboBox* m_message = nullptr;
    QPushButton* m_post = nullptr;
    QCheckBox* m_noAnswer = nullptr;
    QSpinBox* m_slow = nullptr;
    QComboBox* m_corruption = nullptr;
    QSpinBox* m_corruptCount = nullptr;
};
