// The Effect Menu dialog opened from the Effect Menu of a connected Elm: its lists, loading,
// saving and deleting effects on the simulated unit, and what the panel runs afterwards.

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "dialogs/DialogKit.h"
#include "dialogs/EffectMenuDlg.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TapPort.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/InfoPanel.h"
#include "widgets/KnobDisplay.h"

namespace {

using Bytes = std::vector<uint8_t>;

class EffectMenuDialog : public DialogTest {
protected:
    // Unit 1, an Elm, connected with its Effect Menu shown and the link tapped.
    void Connect() {
        ConnectTapped(1);
        panel->OnMenuButton(6);
        ASSERT_EQ(panel->m_currentMenu[1], kEffectMenu);
    }
    // "Configure" opens the dialog.
    void Configure(const std::function<void(CEffectMenuDlg&)>& steps) {
        WhileOpen<CEffectMenuDlg>([&] { panel->OnMenuButton(5); }, steps);
    }
    static QStringList Items(QWidget& d, int id) {
        QStringList items;
        if (auto* list = d.findChild<QListWidget*>(QString::number(id)))
            for (int i = 0; i < list->count(); ++i)
                items << list->item(i)->text();
        if (auto* combo = d.findChild<QComboBox*>(QString::number(id)))
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
        return items;
    }
    static QString Shown(QWidget& d, int id) { return Control<QComboBox>(d, id)->currentText(); }
    static void Choose(QWidget& d, int id, const QString& text) {
        auto* combo = Control<QComboBox>(d, id);
        const int item = combo->findText(text);
        ASSERT_GE(item, 0) << text.toStdString();
        combo->setCurrentIndex(item);
    }
    static void Touch(QWidget& d, int id) { Control<QPushButton>(d, id)->click(); }
    static void Select(QWidget& d, int row) {
        Control<QListWidget>(d, kIdEffectList)->setCurrentRow(row);
    }
    static QString SwitchName(int index) { return ListName(g_menuDatabase.switches[index].name); }
};

TEST_F(EffectMenuDialog, OffersTheEffectsAndEveryNamedControlAndSwitch) {
    Connect();
    g_menuDatabase.controls[9].name.clear();  // "Flare Hue" without a name
    SwitchRecord& beyond = g_menuDatabase.switches[127];
    beyond.id = 255;
    beyond.name = "Beyond";
    Configure([&](CEffectMenuDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Effect Menu"));
        EXPECT_EQ(d.size(), QSize(731, 270));  // 487 x 166 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top(), 20);
        EXPECT_EQ(Items(d, kIdEffectList), QStringList({"Slow Reveal", "Weather Wipe"}));
        // No effect is the target of Load or Delete until the operator touches one.
        EXPECT_EQ(Control<CTouchList>(d, kIdEffectList)->SelectedRow(), -1);
        Touch(d, kIdEffectLoad);
        Touch(d, kIdEffectDelete);
        EXPECT_TRUE(tap->Requests(176).empty());
        EXPECT_EQ(g_effectListIds[0], 1);
        EXPECT_EQ(g_effectListIds[1], 2);

        const QStringList knobs = Items(d, kIdKnobLists[0]);
        EXPECT_EQ(knobs.front(), "None");
        EXPECT_TRUE(knobs.contains("Key Density")) << "the line break shows as a space";
        EXPECT_TRUE(knobs.contains("Shadow Clip")) << "no '#' mark is needed here";
        EXPECT_FALSE(knobs.contains("Flare Hue"));
        const QStringList buttons = Items(d, kIdButtonLists[0]);
        EXPECT_EQ(buttons.front(), "None");
        EXPECT_TRUE(buttons.contains(SwitchName(1)));    // switch 129
        EXPECT_TRUE(buttons.contains(SwitchName(126)));  // switch 254
        EXPECT_FALSE(buttons.contains("Beyond"));
        for (int id : kIdKnobLists) {
            EXPECT_EQ(Items(d, id), knobs);
            EXPECT_EQ(Shown(d, id), "None");
        }
        EXPECT_EQ(Items(d, kIdButtonLists[1]), buttons);
    });
    // No program is started for typing: the keyboard is the dialog's own.
    EXPECT_TRUE(TestLauncher().started.empty());
}

TEST_F(EffectMenuDialog, LoadBringsAnEffectsKeyframesAndControlsToTheEffectMenu) {
    Connect();
    panel->m_frameTimeRec.value = 77;  // left from another effect
    Configure([&](CEffectMenuDlg& d) {
        Select(d, 1);  // "Weather Wipe", the unit's effect 2
        Touch(d, kIdEffectLoad);
        // The header, the assignments, then each keyframe, in this order on the wire.
        std::vector<Bytes> effectRequests;
        for (const Bytes& p : tap->packets)
            if (p.size() > 4 && p[4] >= 176 && p[4] <= 178) effectRequests.push_back(p);
        EXPECT_EQ(effectRequests, (std::vector<Bytes>{{8, 8, 0x12, 3, 176, 2, 2, 0xFF},
                                                      {8, 8, 0x12, 3, 177, 2, 2, 0xFF},
                                                      {8, 9, 0x12, 4, 178, 2, 0, 2, 0xFF},
                                                      {8, 9, 0x12, 4, 178, 2, 1, 2, 0xFF}}));
        EXPECT_EQ(Shown(d, kIdKnobLists[0]), "Key Position H");
        EXPECT_EQ(Shown(d, kIdKnobLists[1]), "Key Position V");
        EXPECT_EQ(Shown(d, kIdKnobLists[2]), "None");
        EXPECT_EQ(Shown(d, kIdButtonLists[0]), SwitchName(1)) << "switch 129 as the lists name it";
        EXPECT_EQ(Shown(d, kIdButtonLists[1]), "None");
        Touch(d, kIdEffectClose);
    });
    ASSERT_EQ(g_currentEffect, 1);
    const EffectRecord& effect = g_effects[1];
    EXPECT_EQ(effect.keyframeCount, 2u);
    EXPECT_EQ(effect.currentKeyframe, 1u);
    EXPECT_EQ(effect.effectWord, 258u);
    EXPECT_EQ(effect.assignmentCount, 3u);
    EXPECT_EQ(effect.keyframes[1].frameTime, 45u);
    EXPECT_EQ(Bytes(effect.keyframes[1].bytes, effect.keyframes[1].bytes + 3),
              (Bytes{255, 128, 1}));
    EXPECT_EQ(g_effectKnobAssign, (std::array<uint8_t, 8>{12, 13, 128, 128, 128, 128, 128, 128}));
    EXPECT_EQ(g_effectButtonAssign, (std::array<uint8_t, 2>{1, 127}));

    // The Effect Menu works the effect: its controls, its keyframes, and Run names it.
    EXPECT_EQ(panel->m_keyFrameRec.value, 1);
    EXPECT_EQ(panel->m_keyFrameRec.maxValue, 2);
    EXPECT_EQ(panel->m_frameTimeRec.value, 0) << "keyframe 1's frame time";
    EXPECT_EQ(panel->m_knobs[0]->Control(), &g_menuDatabase.controls[12]);
    EXPECT_EQ(panel->m_knobs[1]->Control(), &g_menuDatabase.controls[13]);
    EXPECT_EQ(panel->m_functionButtons[0]->Text(), "Freeze\r\nOff");  // switch 129, at 0
    panel->OnFunctionButton(5);
    EXPECT_EQ(rig->Unit(1)->RunningEffect(), 2);
}

TEST_F(EffectMenuDialog, SaveSendsTheKnobAssignmentsAndListsTheNewEffect) {
    Connect();
    Configure([&](CEffectMenuDlg& d) {
        Control<QLineEdit>(d, kIdEffectName)->setText("Snow Drift");
        Choose(d, kIdKnobLists[0], "Clip");
        Choose(d, kIdKnobLists[2], "Gain");
        Choose(d, kIdButtonLists[0], SwitchName(1));
        Touch(d, kIdEffectSave);
        // The new effect's number, 1, the count, then the knobs: buttons are not sent.
        EXPECT_EQ(tap->Requests(177).back(), (Bytes{8, 11, 0x12, 6, 177, 3, 1, 2, 1, 2, 0xFF}));
        EXPECT_EQ(rig->Unit(1)->LastReply(), 1) << "the unit's message is answered";
        EXPECT_EQ(Items(d, kIdEffectList),
                  QStringList({"Slow Reveal", "Weather Wipe", "Snow Drift"}));
        EXPECT_EQ(Shown(d, kIdKnobLists[0]), "Clip");
        EXPECT_EQ(Shown(d, kIdKnobLists[2]), "Gain");
        EXPECT_EQ(g_currentEffect, 2);

        for (int id : kIdKnobLists)
            Choose(d, id, "None");
        Control<QLineEdit>(d, kIdEffectName)->setText("Bare");
        Touch(d, kIdEffectSave);
        EXPECT_EQ(tap->Requests(177).back(), (Bytes{8, 9, 0x12, 4, 177, 4, 1, 0, 0xFF}));
    });
    ASSERT_EQ(rig->Unit(1)->Effects().size(), 4u);
    EXPECT_EQ(rig->Unit(1)->Effects()[2].name, "Snow Drift");
    EXPECT_EQ(rig->Unit(1)->Effects()[2].assignments, (Bytes{1, 2}));
}

TEST_F(EffectMenuDialog, DeleteAsksClearsTheListsAndTheListFollowsTheUnit) {
    Connect();
    Configure([&](CEffectMenuDlg& d) {
        Select(d, 0);
        Touch(d, kIdEffectLoad);
        ASSERT_EQ(Shown(d, kIdKnobLists[0]), "Clip");
        // Delete names the effect and asks first; No sends nothing.
        TestPrompter().Expect("Do you want to delete the effect Slow Reveal?", PromptAnswer::No);
        Touch(d, kIdEffectDelete);
        EXPECT_EQ(tap->Requests(176).size(), 1u);
        EXPECT_EQ(Items(d, kIdEffectList).size(), 2);
        TestPrompter().Expect("Do you want to delete the effect Slow Reveal?", PromptAnswer::Yes);
        Touch(d, kIdEffectDelete);
        EXPECT_EQ(tap->Requests(176).back(), (Bytes{8, 8, 0x12, 3, 176, 1, 0, 0xFF}));
        EXPECT_EQ(Items(d, kIdEffectList), QStringList({"Weather Wipe"}));
        EXPECT_EQ(Control<CTouchList>(d, kIdEffectList)->SelectedRow(), -1)
            << "after a delete no effect is highlighted";
        for (int id : kIdKnobLists)
            EXPECT_EQ(Shown(d, id), "None");
        for (int id : kIdButtonLists)
            EXPECT_EQ(Shown(d, id), "None");
        EXPECT_EQ(g_currentEffect, kNoEffect);

        // The first line now names the unit's effect 2, and loads it.
        Select(d, 0);
        Touch(d, kIdEffectLoad);
        EXPECT_EQ(tap->Requests(176).back(), (Bytes{8, 8, 0x12, 3, 176, 2, 2, 0xFF}));
        EXPECT_EQ(g_effects[0].keyframeCount, 2u);
        // Deleted again, nothing is current: Run sends nothing.
        TestPrompter().Expect("Do you want to delete the effect Weather Wipe?", PromptAnswer::Yes);
        Touch(d, kIdEffectDelete);
        EXPECT_TRUE(Items(d, kIdEffectList).isEmpty());
        Touch(d, kIdEffectLoad);
        Touch(d, kIdEffectDelete);
        EXPECT_EQ(tap->Requests(176).size(), 4u) << "an empty list has nothing to act on";
        TestPrompter().ExpectDone();
    });
    EXPECT_TRUE(rig->Unit(1)->Effects().empty());
    panel->OnFunctionButton(5);
    EXPECT_TRUE(tap->Requests(kCmdSelectEffect).empty());
    EXPECT_EQ(panel->m_keyFrameRec.maxValue, 0);
}

TEST_F(EffectMenuDialog, AnEffectWithoutKeyframesStandsOnNone) {
    rig->Unit(1)->Effects()[0].keyframes.clear();
    Connect();
    Configure([&](CEffectMenuDlg& d) {
        Select(d, 0);
        Touch(d, kIdEffectLoad);
        EXPECT_TRUE(tap->Requests(178).empty());
        // A save leaves no effect highlighted either.
        Control<QLineEdit>(d, kIdEffectName)->setText("Fresh");
        Touch(d, kIdEffectSave);
        EXPECT_EQ(Control<CTouchList>(d, kIdEffectList)->SelectedRow(), -1);
        Touch(d, kIdEffectClose);
    });
    ASSERT_EQ(g_currentEffect, 2) << "the saved effect is current";
    Configure([&](CEffectMenuDlg& d) {
        Select(d, 0);
        Touch(d, kIdEffectLoad);
        Touch(d, kIdEffectClose);
    });
    ASSERT_EQ(g_currentEffect, 0);
    EXPECT_EQ(g_effects[0].keyframeCount, 0u);
    EXPECT_EQ(g_effects[0].currentKeyframe, 0u) << "0 of 0, not 1 of 0";
    EXPECT_EQ(panel->m_keyFrameRec.value, 0);
    EXPECT_EQ(panel->m_keyFrameRec.maxValue, 0);
    EXPECT_EQ(panel->m_infoPanel->Content().currentMenu, kEffectMenu);
    EXPECT_EQ(KeyframeText(g_effects[0].currentKeyframe, g_effects[0].keyframeCount),
              "Keyframe 0 of 0");
}

TEST_F(EffectMenuDialog, AListTheUnitDoesNotSendIsEmpty) {
    Connect();
    ASSERT_EQ(ReadEffectList(), kLinkOk);  // the table holds the unit's effects from before
    SimUnitFaults& faults = rig->Unit(1)->Faults();
    faults.corruption = SimCorruption::WrongCode;
    faults.corruptCommand = kCmdEffectListOpen;
    Configure([&](CEffectMenuDlg& d) {
        EXPECT_TRUE(Items(d, kIdEffectList).isEmpty());
        Touch(d, kIdEffectLoad);
        Touch(d, kIdEffectDelete);
        EXPECT_TRUE(tap->Requests(176).empty());
    });
}

TEST_F(EffectMenuDialog, CloseAndEnterStoreTheSelectionsEscapeDoesNot) {
    Connect();
    Configure([&](CEffectMenuDlg& d) {
        Choose(d, kIdKnobLists[2], "Clip");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(g_effectKnobAssign[2], kNoControl);
    Configure([&](CEffectMenuDlg& d) {
        Choose(d, kIdKnobLists[2], "Clip");
        Choose(d, kIdButtonLists[1], SwitchName(1));
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(g_effectKnobAssign[2], 1);
    EXPECT_EQ(g_effectButtonAssign[1], 1);
    EXPECT_EQ(panel->m_knobs[2]->Control(), &g_menuDatabase.controls[1]);
}

TEST_F(EffectMenuDialog, AnEffectBeyondTheTablesLoadsWhatFits) {
    // More effects than the list ids of old, the last with more keyframes and assignments than
    // an effect record holds; an assignment byte of 255 names no switch.
    auto& effects = rig->Unit(1)->Effects();
    for (int i = 0; i < 40; ++i)
        effects.push_back({10 + i, "Extra " + std::to_string(i), 0, {}, {}});
    SimEffect& last = effects.back();
    last.assignments = {255, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 130, 131, 132};
    last.assignments.resize(40, 14);
    last.keyframes.resize(40);
    last.keyframes[31].time = 310;
    Connect();
    Configure([&](CEffectMenuDlg& d) {
        ASSERT_EQ(Items(d, kIdEffectList).size(), 42);
        Select(d, 41);
        Touch(d, kIdEffectLoad);
        EXPECT_EQ(tap->Requests(178).size(), 32u);
        EXPECT_EQ(Shown(d, kIdButtonLists[0]), "None");
        EXPECT_EQ(Shown(d, kIdButtonLists[1]), SwitchName(2));
        Touch(d, kIdEffectClose);
    });
    ASSERT_EQ(g_currentEffect, 41);
    EXPECT_EQ(tap->Requests(176).front()[5], 49);
    const EffectRecord& effect = g_effects[41];
    EXPECT_EQ(effect.keyframeCount, 32u);
    EXPECT_EQ(effect.keyframes[31].frameTime, 310u);
    EXPECT_EQ(effect.assignmentCount, 32u);
    EXPECT_EQ(g_effectKnobAssign, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(g_effectButtonAssign, (std::array<uint8_t, 2>{127, 2}));
    EXPECT_EQ(panel->m_keyFrameRec.maxValue, 32);
}

}  // namespace
