#include <gtest/gtest.h>

#include <cstring>

#include "link/PanelState.h"

namespace {

TEST(PanelState, ResetBringsBackTheStartUpState) {
    g_selectedUnit = 0x20;
    g_unitIdentity.ModelCode = kModelDune;
    g_menuDatabase.controls[128].name = "Clip";
    g_menuDatabase.switches[131].value = 3;
    g_menuDatabase.menus[64].items[19] = 200;
    g_unitMessages[199].message = "Saved";
    g_fileCount = 7;
    g_effectKnobAssign[7] = 5;
    g_effectButtonAssign[1] = 9;
    g_customKnobs[4][4][7] = 3;
    g_customButtons[0][0][0] = 1;
    g_gpiDetails[9].eventFileId[199] = 42;
    g_transferBuffer[2799] = 1;
    g_transferLength = 2800;

    ResetPanelState();

    EXPECT_EQ(g_selectedUnit, 0);
    EXPECT_EQ(g_unitIdentity.ModelCode, kModelNone);
    EXPECT_TRUE(g_menuDatabase.controls[128].name.empty());
    EXPECT_EQ(g_menuDatabase.switches[131].value, 0);
    EXPECT_EQ(g_menuDatabase.menus[64].items[19], 0);
    EXPECT_TRUE(g_unitMessages[199].message.empty());
    EXPECT_EQ(g_fileCount, 0u);
    EXPECT_EQ(g_gpiDetails[9].eventFileId[199], 0);
    EXPECT_EQ(g_transferBuffer[2799], 0);
    EXPECT_EQ(g_transferLength, 0u);
    // Effects and custom menus start out with nothing assigned, not with control 0.
    EXPECT_EQ(g_currentEffect, 0);
    for (uint8_t slot : g_effectKnobAssign)
        EXPECT_EQ(slot, 128);
    for (uint8_t slot : g_effectButtonAssign)
        EXPECT_EQ(slot, 127);
    for (int unit = 0; unit < kUnitSlots; ++unit)
        for (int menu = 0; menu < kCustomMenus; ++menu) {
            for (uint8_t knob : g_customKnobs[unit][menu])
                ASSERT_EQ(knob, 128);
            for (uint8_t button : g_customButtons[unit][menu])
                ASSERT_EQ(button, 127);
        }
}

TEST(PanelState, ModelGroupAIsModelsFourFiveSevenAndNine) {
    for (int code = 0; code < 256; ++code) {
        const bool expected = code == 4 || code == 5 || code == 7 || code == 9;
        EXPECT_EQ(IsModelGroupA(static_cast<uint8_t>(code)), expected) << code;
    }
    ResetPanelState();
    EXPECT_FALSE(IsModelGroupA());  // no identity yet
    g_unitIdentity.ModelCode = kModelBirch;
    EXPECT_TRUE(IsModelGroupA());
    g_unitIdentity.ModelCode = kModelCedar;
    EXPECT_FALSE(IsModelGroupA());
}

TEST(PanelState, IdentityAndStatusFieldsSitWhereTheWirePutsThem) {
    // The identify answer is copied byte for byte into the record.
    const uint8_t answer[16] = {9, 0, 0x16, 0, 0x5A, 0x11, 0x40, 0x41, 7, 11, 23};
    static_assert(sizeof answer == sizeof(UnitIdentity));
    std::memcpy(&g_unitIdentity, answer, sizeof answer);
    EXPECT_EQ(g_unitIdentity.UnitFlags, kFlagTally | kFlagReferenceVideo);
    EXPECT_EQ(g_unitIdentity.MessageNumber, 7);
    EXPECT_EQ(g_unitIdentity.ModelCode, kModelCedar);
    EXPECT_EQ(g_unitIdentity.currentMenu, 23);

    // Knob movements are signed and low byte first; the fan flag is byte 24.
    PanelStatus status{};
    status.bytes[8] = 0xFE;
    status.bytes[9] = 0xFF;
    status.bytes[22] = 0x00;
    status.bytes[23] = 0x80;
    status.bytes[kFanByte] = 1;
    status.bytes[6] = 0x10;
    EXPECT_EQ(KnobMovement(status, 0), -2);
    EXPECT_EQ(KnobMovement(status, 7), -32768);
    EXPECT_EQ(KeyRow(status, 4), 0x10);
    EXPECT_TRUE(FanRunning(status));
    status.bytes[kFanByte] = 0;
    EXPECT_FALSE(FanRunning(status));
}

TEST(PanelState, ClearingCustomMenusClearsOneUnitAndAnUnknownUnitTouchesNothing) {
    ResetPanelState();
    // Every slot of every unit holds something that a clear would overwrite.
    for (auto& unit : g_customKnobs)
        for (auto& menu : unit)
            menu.fill(59);
    for (auto& unit : g_customButtons)
        for (auto& menu : unit)
            menu.fill(33);
    const CustomKnobTable knobs = g_customKnobs;
    const CustomButtonTable buttons = g_customButtons;
    ClearCustomMenus(5);
    ClearCustomMenus(-1);
    ClearCustomMenus(1000);
    EXPECT_EQ(g_customKnobs, knobs);
    EXPECT_EQ(g_customButtons, buttons);

    ClearCustomMenus(4);
    EXPECT_EQ(g_customKnobs[4][0][0], 128);
    EXPECT_EQ(g_customKnobs[4][4][7], 128);
    EXPECT_EQ(g_customButtons[4][4][5], 127);
    EXPECT_EQ(g_customKnobs[3][4][7], 59);
    EXPECT_EQ(g_customButtons[0][0][0], 33);
    ResetPanelState();
}

}  // namespace
