// The simulated rig's console driving the real panel: what a newcomer does with the mouse in the
// console window reaches the panel through the link, and what the panel sends back shows there.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>

#include "app/panel/MainPanelDlg.h"
#include "link/Commands.h"
#include "link/ConfigFile.h"
#include "link/PanelState.h"
#include "link/UnitOperations.h"
#include "platform/Clock.h"
#include "platform/PortIo.h"
#include "platform/SerialPort.h"
#include "sim/SimBypassLine.h"
#include "sim/SimRig.h"
#include "sim/console/SimBypassPeer.h"
#include "sim/console/SimConsole.h"
#include "sim/console/SimKeyPad.h"
#include "sim/console/SimKnob.h"
#include "sim/console/SimUnitPanel.h"
#include "tests/app/PanelFixture.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

const char* const kLost = "Lost communication with Main Unit!";

// The panel against the standard rig (the fixture of the panel tests), and the console on the
// same rig.
class SimulatedRig : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Start();
        console = std::make_unique<CSimConsole>(*rig);
        // Shown, so that its layout places every widget where a click would find it.
        console->show();
    }
    void TearDown() override {
        console.reset();
        PanelTest::TearDown();
    }

    void Click(QAbstractButton* button) {
        ASSERT_NE(button, nullptr);
        // A check box takes clicks on its box and label only.
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    void Wheel(QWidget* widget, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at = QRectF(widget->rect()).center();
        QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }
    // Clicks unit n's key in the console and lets the panel's idle scan act on it.
    void SelectInConsole(int unit) {
        Click(console->Key(unit, 0x01));
        panel->OnTimer(1);
    }
    int Value(int unit, int id) const { return rig->Unit(unit)->ControlValue(id); }
    // The control the panel put on knob k in the selected unit's current menu.
    int KnobControl(int unit, int k) const {
        return g_menuDatabase.menus[panel->m_currentMenu[unit]].knobs[k];
    }

    std::unique_ptr<CSimConsole> console;
};

TEST_F(SimulatedRig, KeysClickedInTheConsoleDriveThePanelAndTheirLampsFollowIt) {
    console->Refresh();
    // After the link start the panel lights the keys of the units on line.
    EXPECT_TRUE(console->Key(1, 0x01)->Lit());
    EXPECT_TRUE(console->Key(3, 0x01)->Lit());
    EXPECT_FALSE(console->Key(4, 0x01)->Lit());
    EXPECT_FALSE(console->SelectedLamp(3)->Lit());

    SelectInConsole(3);
    EXPECT_EQ(g_selectedUnit, 0x30);
    EXPECT_EQ(panel->m_currentMenu[3], 0);
    EXPECT_TRUE(panel->TimerRunning(3));
    console->Refresh();
    EXPECT_TRUE(console->SelectedLamp(3)->Lit());
    EXPECT_TRUE(console->Key(3, 0x04)->Lit());  // the direct key of the main menu
    // The direct menu keys and the hold keys are named after the selected unit's menus and
    // switches.
    EXPECT_EQ(console->Key(4, 0x10)->text(), QStringLiteral("Input Select"));
    EXPECT_EQ(console->Key(2, 0x02)->text(), QStringLiteral("Freeze"));

    Click(console->Key(4, 0x10));
    panel->OnTimer(3);
    EXPECT_EQ(panel->m_currentMenu[3], 15);
    console->Refresh();
    EXPECT_TRUE(console->Key(4, 0x10)->Lit());
    EXPECT_FALSE(console->Key(3, 0x04)->Lit());

    // ALT only toggles its own lamp; the next lamp recompute clears it again.
    Click(console->Key(0, 0x10));
    panel->OnTimer(3);
    console->Refresh();
    EXPECT_TRUE(console->Key(0, 0x10)->Lit());

    // Tally set at the unit comes back as the panel's tally lamp once the panel sends the
    // lamps again, within one round of polls.
    Click(console->UnitPanel(3)->TallyBox());
    EXPECT_TRUE(rig->Unit(3)->Flags() & kFlagTally);
    for (int poll = 0; poll < 4; ++poll)
        panel->OnTimer(2);
    console->Refresh();
    EXPECT_TRUE(console->TallyLamp(3)->Lit());
    EXPECT_FALSE(console->TallyLamp(1)->Lit());
}

TEST_F(SimulatedRig, KnobsTurnedInTheConsoleMoveTheBoundControlsLikeAnEncoder) {
    SelectInConsole(3);
    ASSERT_TRUE(panel->m_knobs[4]->HasControl());
    const int clip = KnobControl(3, 4);
    const int before = Value(3, clip);
    Wheel(console->Knob(4), 120);
    panel->OnTimer(3);
    // The Cedar moves a continuous control a sixteenth of its range a notch: Clip has 1024.
    EXPECT_EQ(Value(3, clip) - before, 64);

    // A drag up by ten pixels turns clockwise by ten pixels' worth: 30 counts, 6 of Screen
    // Red's 256 values.
    const int red = KnobControl(3, 0);
    const int redBefore = Value(3, red);
    CSimKnob* knob = console->Knob(0);
    const QPoint at = knob->rect().center();
    QTest::mousePress(knob, Qt::LeftButton, {}, at);
    QTest::mouseMove(knob, at - QPoint(0, 10));
    QTest::mouseRelease(knob, Qt::LeftButton, {}, at - QPoint(0, 10));
    panel->OnTimer(3);
    EXPECT_EQ(Value(3, red) - redBefore, 6);

    // On a control that moves in whole steps one notch is one step, a fine notch is none.
    Click(console->Key(4, 0x10));
    panel->OnTimer(3);
    ASSERT_EQ(panel->m_currentMenu[3], 15);
    const int input = KnobControl(3, 0);
    const int inputBefore = Value(3, input);
    const int direction = inputBefore < 4 ? 1 : -1;
    Wheel(console->Knob(0), 120 * direction);
    panel->OnTimer(3);
    EXPECT_EQ(Value(3, input), inputBefore + direction);
    Wheel(console->Knob(0), 120 * direction, Qt::ShiftModifier);
    panel->OnTimer(3);
    EXPECT_EQ(Value(3, input), inputBefore + direction);
    // The FG input is also the FG Source button of the routing menu: the unit's answer
    // brought the panel both.
    ASSERT_EQ(input, 93);
    EXPECT_EQ(rig->Unit(3)->SwitchValue(200), inputBefore + direction);
    EXPECT_EQ(g_menuDatabase.switches[200 - 128].value, inputBefore + direction);
    const std::string fg = "FG: SDI " + std::to_string(inputBefore + direction);
    bool shown = false;
    for (const InfoLine& line : BuildInfoOverlay(panel->m_infoPanel->Content()).lines)
        shown = shown || line.text.toStdString().find(fg) != std::string::npos;
    EXPECT_TRUE(shown) << "the info line says " << fg;
}

TEST_F(SimulatedRig, AUnitTakenOffLineInTheConsoleIsLostAfterThreePollsAndRecovered) {
    SelectInConsole(3);
    QCheckBox* online = console->UnitPanel(3)->OnlineBox();
    ASSERT_TRUE(online->isChecked());
    Click(online);
    EXPECT_FALSE(rig->Online(3));

    panel->OnTimer(2);
    panel->OnTimer(2);
    EXPECT_EQ(panel->m_infoPanel->Alert(), "");
    EXPECT_TRUE(panel->TimerRunning(3));
    panel->OnTimer(2);
    EXPECT_EQ(panel->m_infoPanel->Alert(), kLost);
    EXPECT_FALSE(panel->TimerRunning(3));
    EXPECT_EQ(panel->m_currentMenu[3], -1);

    Click(online);
    EXPECT_TRUE(rig->Online(3));
    panel->OnTimer(2);
    EXPECT_EQ(panel->m_currentMenu[3], 0);
    EXPECT_TRUE(panel->TimerRunning(3));
}

TEST_F(SimulatedRig, AModelPickedForAnIdleUnitRestartsItThePanelSeesItGoAndReturn) {
    CSimUnitPanel* unit = console->UnitPanel(2);
    // End picks the last model of the list: the Birch is switched off and starts as an Elm.
    QTest::keyClick(unit->ProfileBox(), Qt::Key_End);
    EXPECT_EQ(unit->ProfileBox()->currentData().toString(), QStringLiteral("elm"));
    EXPECT_EQ(rig->Unit(2)->Profile().model, 4);
    EXPECT_TRUE(rig->Online(2));
    console->Refresh();
    EXPECT_EQ(unit->StateLabel()->text(), QStringLiteral("restarting as model 4"));

    // The scan probes it every fourth tick: it goes off line at the fifth silent probe and
    // is back at the first probe after its start-up.
    for (int probe = 1; probe <= SimRig::kStartUpIdentifies + 1; ++probe) {
        const int before = rig->Unit(2)->Received(kCmdIdentify);
        for (int tick = 0; tick < 8 && rig->Unit(2)->Received(kCmdIdentify) == before; ++tick)
            panel->OnTimer(2);
        const bool online = probe < kMaxScanMisses || probe > SimRig::kStartUpIdentifies;
        EXPECT_EQ(bool(panel->m_lamps[2] & kLampOnline), online) << "probe " << probe;
    }
    console->Refresh();
    EXPECT_EQ(unit->StateLabel()->text(), QStringLiteral("model 4 · flags 00"));
    EXPECT_TRUE(console->Key(2, 0x01)->Lit());
}

TEST_F(SimulatedRig, AModelPickedForTheSelectedUnitLosesItAndConnectsTheNewModel) {
    SelectInConsole(2);
    ASSERT_EQ(panel->m_currentMenu[2], 0);
    CSimUnitPanel* unit = console->UnitPanel(2);
    QTest::keyClick(unit->ProfileBox(), Qt::Key_End);

    // Three silent polls and the panel has lost it; it keeps polling through the start-up.
    for (int poll = 1; poll <= 3; ++poll)
        panel->OnTimer(2);
    EXPECT_EQ(panel->m_infoPanel->Alert(), kLost);
    EXPECT_EQ(panel->m_currentMenu[2], -1);
    for (int poll = 4; poll <= SimRig::kStartUpIdentifies; ++poll)
        panel->OnTimer(2);
    EXPECT_EQ(panel->m_currentMenu[2], -1);
    EXPECT_EQ(rig->Unit(2)->Received(kCmdMenuBlob), 0);

    // The next poll is answered by the Elm: the panel downloads its menus and shows it.
    panel->OnTimer(2);
    EXPECT_EQ(panel->m_currentMenu[2], 0);
    EXPECT_GT(rig->Unit(2)->Received(kCmdMenuBlob), 0);
    EXPECT_TRUE(panel->ModelLogo(1053)->isVisibleTo(panel.get()));

    // The trainer moves Screen Red at the unit; the next poll brings it to the panel.
    unit->ControlBox()->setCurrentIndex(unit->ControlBox()->findData(59));
    EXPECT_EQ(unit->ValueSlider()->maximum(), 255);
    unit->ValueSpin()->setValue(200);
    EXPECT_EQ(Value(2, 59), 200);
    panel->OnTimer(2);
    EXPECT_EQ(g_menuDatabase.controls[59].value, 200);

    // The unit's value moved from the panel shows in the console: a sixteenth of 256 values.
    ASSERT_EQ(KnobControl(2, 0), 59);
    Wheel(console->Knob(0), -120);
    panel->OnTimer(3);
    console->Refresh();
    EXPECT_EQ(unit->ValueSpin()->value(), 200 - 16);
}

TEST_F(SimulatedRig, TheUnitListsHoldTheirControlsInIdOrderAndShowTheirTextsWhole) {
    for (int n = 1; n <= 4; ++n) {
        CSimUnitPanel* unit = console->UnitPanel(n);
        SCOPED_TRACE(n);
        QComboBox* controls = unit->ControlBox();
        ASSERT_EQ(controls->count(), static_cast<int>(rig->Unit(n)->Profile().controls.size()));
        for (int i = 1; i < controls->count(); ++i)
            EXPECT_LT(controls->itemData(i - 1).toInt(), controls->itemData(i).toInt()) << i;

        for (QComboBox* box : unit->findChildren<QComboBox*>()) {
            int widest = 0;
            for (int i = 0; i < box->count(); ++i)
                widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(i)));
            box->showPopup();
            EXPECT_GE(box->view()->viewport()->width(), widest) << box->currentText().toStdString();
            box->hidePopup();
        }
        // The model and corruption lists are short: the closed box shows any entry whole.
        for (QComboBox* box : {unit->ProfileBox(), unit->CorruptionBox()}) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            option.editable = false;
            const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, box);
            for (int i = 0; i < box->count(); ++i)
                EXPECT_GE(field.width(), box->fontMetrics().horizontalAdvance(box->itemText(i)))
                    << box->itemText(i).toStdString();
        }
    }
    // All four units still fit the console's room beside the panel.
    EXPECT_LE(console->minimumSizeHint().width(), CSimConsole::kMaxWidth);
}

TEST_F(SimulatedRig, EveryControlOfTheConsoleCanBeUsedOnEveryUnitInAnyOrder) {
    // Unit 4 is off line; put it on first, then swap every unit through every model while its
    // failure modes, messages and values are being used.
    for (int round = 0; round < 2; ++round) {
        for (int n = 1; n <= 4; ++n) {
            CSimUnitPanel* unit = console->UnitPanel(n);
            for (QAbstractButton* button : unit->findChildren<QAbstractButton*>())
                if (button->isEnabled()) Click(button);
            for (QComboBox* box : unit->findChildren<QComboBox*>())
                for (int i = 0; i < box->count(); ++i) {
                    box->setCurrentIndex(i);
                    emit box->activated(i);
                    console->Refresh();
                }
            for (QSpinBox* spin : unit->findChildren<QSpinBox*>()) {
                spin->setValue(spin->maximum());
                spin->setValue(spin->minimum());
            }
        }
        rig->AddUnit(1, CSimUnitPanel::ShippedProfiles().front().second);
        console->Refresh();
    }
    for (int k = 0; k < 8; ++k)
        Wheel(console->Knob(k), -120);
    console->Refresh();
    for (int n = 1; n <= 4; ++n) {
        EXPECT_NE(rig->Unit(n), nullptr);
        EXPECT_EQ(console->UnitPanel(n)->ControlBox()->count(),
                  static_cast<int>(rig->Unit(n)->Profile().controls.size()));
    }
}

// The bypass line: the console's peer, usable under a dialog over the panel, and a program
// attached to the far end; each hears the answers to what it asked, and only those.
TEST_F(SimulatedRig, TheBypassLineAnswersTheConsoleUnderADialogOrAnAttachedProgram) {
    std::string error;
    ASSERT_TRUE(rig->OpenBypassLine(&error)) << error;
    console = std::make_unique<CSimConsole>(*rig);
    console->JoinPanel(panel.get());
    CSerialPort port;
    ASSERT_TRUE(port.Open(rig->BypassLine()->PanelDevice()));
    ASSERT_TRUE(port.SetTimeouts(0, 100, 0, 0, 0));
    auto panelHears = [&] {
        std::vector<uint8_t> heard;
        for (uint8_t b; heard.size() < 4 && port.ReadByte(b);)
            heard.push_back(b);
        return heard;
    };
    const int program =
        open(rig->BypassLine()->PeerDevice().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(program, 0);
    uint8_t heard[8] = {};

    QDialog dialog(panel.get());
    QTimer::singleShot(0, [&] {
        QTest::qWait(20);  // the console goes with the dialog
        console->BypassPeer()->RequestEdit()->setText(QStringLiteral("2 1 c0ff"));
        // A click through the window system, which a modal dialog would hold back.
        QPushButton* send = console->BypassPeer()->SendButton();
        QTest::mouseClick(console->windowHandle(), Qt::LeftButton, {},
                          send->mapTo(console.get(), send->rect().center()));
        EXPECT_EQ(panelHears(), (std::vector<uint8_t>{0x02, 0x01, 0xC0, 0xFF}));
        // The reply as it comes, in pieces: listed as the frame it is.
        port.WriteByte(0x02);
        QTest::qWait(20);
        for (uint8_t b : {0x01, 0x40, 0x00})
            port.WriteByte(b);
        QTest::qWait(20);
        dialog.reject();
    });
    dialog.exec();
    EXPECT_TRUE(console->BypassPeer()->Log()->toPlainText().endsWith("panel > 02 01 40 00"));

    ASSERT_EQ(write(program, "\x02\x01\xB6\xFF", 4), 4);
    QTest::qWait(20);
    EXPECT_EQ(panelHears(), (std::vector<uint8_t>{0x02, 0x01, 0xB6, 0xFF}));
    for (uint8_t b : {0x02, 0x00, 0x21})
        port.WriteByte(b);
    QTest::qWait(50);
    EXPECT_EQ(read(program, heard, sizeof heard), 3) << "its own answer, not the console's";
    EXPECT_EQ(heard[2], 0x21);
    close(program);
}

}  // namespace
