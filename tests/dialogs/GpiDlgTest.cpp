// The GPI dialogs opened from the GPI menu of a connected panel: sequences built, stepped and
// picked on a group-A unit, and the per-input settings of a unit outside group A, asserted on
// the traffic to the simulated unit and on what it then holds.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <algorithm>
#include <memory>

#include "dialogs/GpiDlg.h"
#include "dialogs/GpiInputDlg.h"
#include "dialogs/UpDownCtrl.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"
#include "tests/support/TapPort.h"

namespace {

using Bytes = std::vector<uint8_t>;

class GpiDialog : public DialogTest {
protected:
    // Connects unit n, taps the link, and shows the System Setup menu, whose button 2 is GPI.
    void ConnectToSetup(int unit) {
        ConnectTapped(unit);
        panel->OnMenuButton(5);
        ASSERT_EQ(g_menuDatabase.menus[panel->m_currentMenu[unit]].name, "System Setup");
    }
    template <typename D>
    void Open(const std::function<void(D&)>& steps) {
        WhileOpen<D>([&] { panel->OnMenuButton(2); }, steps);
    }
    // The requests sent with code, from byte 4 (the code) up to the terminator.
    std::vector<Bytes> Sent(std::initializer_list<uint8_t> codes, size_t from = 0) const {
        std::vector<Bytes> found;
        for (size_t i = from; i < tap->packets.size(); ++i) {
            const Bytes& p = tap->packets[i];
            if (p.size() > 5 && std::find(codes.begin(), codes.end(), p[4]) != codes.end())
                found.emplace_back(p.begin() + 4, p.end() - 1);
        }
        return found;
    }
    static QStringList Lines(QWidget& d, int id) {
        QStringList lines;
        auto* list = Control<QListWidget>(d, id);
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text();
        return lines;
    }
    static int Selected(QWidget& d, int id) { return SelectedRow(*Control<QListWidget>(d, id)); }
    static void Touch(QWidget& d, int id) { Control<QPushButton>(d, id)->click(); }
    std::vector<uint8_t> Events(int unit, int seq) const {
        std::vector<uint8_t> files;
        for (const auto& e : rig->Unit(unit)->GpiSequences().at(seq).events)
            files.push_back(e[1]);
        return files;
    }
};

TEST_F(GpiDialog, GroupAUnitShowsItsSequencesAndDecidesTheOddCases) {
    ConnectToSetup(1);         // the Elm
    AddGpiEvent(1, 99, 1, 1);  // an event naming a file the unit does not hold
    Open<CGpiDlg>([&](CGpiDlg& d) {
        EXPECT_EQ(dynamic_cast<CGpiInputDlg*>(&d), nullptr) << "template 152 on group A";
        EXPECT_EQ(d.windowTitle(), QStringLiteral("GPI Sequences"));
        EXPECT_EQ(d.size(), QSize(738, 335));  // 492 x 206 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top(), 20);
        auto* tabs = Control<QTabBar>(d, kIdGpiTabs);
        ASSERT_EQ(tabs->count(), 2);
        EXPECT_EQ(tabs->tabText(1), QStringLiteral("   GPI 2       "));
        EXPECT_EQ(Lines(d, kIdGpiFiles).size(), 6);
        EXPECT_EQ(Selected(d, kIdGpiFiles), 0);

        // Current event 1: the first line selected.
        EXPECT_EQ(Lines(d, kIdGpiEvents),
                  (QStringList{"Morning Show", "Studio A News", "Weather Wall"}));
        EXPECT_EQ(Selected(d, kIdGpiEvents), 0);
        // Current event 0: the last line selected.
        tabs->setCurrentIndex(1);
        EXPECT_EQ(Lines(d, kIdGpiEvents),
                  (QStringList{"Studio A News", "File 99 (not on the unit)", "Sports Desk",
                               "Election Night", "Late Edition"}));
        EXPECT_EQ(Selected(d, kIdGpiEvents), 4);

        // Paging moves by 1 and 10 and stops at both ends.
        Touch(d, kIdGpiPageDown);
        EXPECT_EQ(Selected(d, kIdGpiFiles), 5);
        Touch(d, kIdGpiUp);
        EXPECT_EQ(Selected(d, kIdGpiFiles), 4);
        Touch(d, kIdGpiPageUp);
        EXPECT_EQ(Selected(d, kIdGpiFiles), 0);

        // Add with no file selected sends nothing.
        Control<QListWidget>(d, kIdGpiFiles)->clearSelection();
        const size_t edits = Sent({kCmdGpiEvent}).size();
        Touch(d, kIdGpiAdd);
        EXPECT_EQ(Sent({kCmdGpiEvent}).size(), edits);
        EXPECT_EQ(Lines(d, kIdGpiEvents).size(), 5);
    });
}

TEST_F(GpiDialog, ASequenceIsBuiltSteppedPickedByHandAndCleared) {
    ConnectToSetup(1);
    Open<CGpiDlg>([&](CGpiDlg& d) {
        auto* events = Control<QListWidget>(d, kIdGpiEvents);
        auto* files = Control<QListWidget>(d, kIdGpiFiles);
        const size_t start = tap->packets.size();
        Touch(d, kIdGpiRemoveAll);
        EXPECT_EQ(Sent({kCmdGpiEvent}, start), (std::vector<Bytes>(3, {180, 0, 0, 0, 1, 0})));
        EXPECT_TRUE(Events(1, 0).empty());
        EXPECT_TRUE(Lines(d, kIdGpiEvents).isEmpty());

        // Nothing selected appends; a selected event gets the new one in its place.
        Touch(d, kIdGpiAdd);  // Studio A News (1)
        EXPECT_EQ(Selected(d, kIdGpiEvents), 0) << "no current event: the last selected";
        events->clearSelection();
        files->setCurrentRow(2);  // Sports Desk (3)
        Touch(d, kIdGpiAdd);
        files->setCurrentRow(3);  // Election Night (4), before the selected last event
        Touch(d, kIdGpiAdd);
        EXPECT_EQ(Events(1, 0), (std::vector<uint8_t>{1, 4, 3}));
        EXPECT_EQ(Lines(d, kIdGpiEvents),
                  (QStringList{"Studio A News", "Election Night", "Sports Desk"}));

        // Step Down advances and wraps after the last event, as the unit does.
        for (int expected : {0, 1, 2, 0}) {
            Touch(d, kIdGpiStepDown);
            EXPECT_EQ(Selected(d, kIdGpiEvents), expected);
        }
        // Step Up on the first event sends nothing; elsewhere it picks the one before.
        size_t before = tap->packets.size();
        Touch(d, kIdGpiStepUp);
        EXPECT_TRUE(Sent({kCmdGpiSequence}, before).empty());
        Touch(d, kIdGpiStepDown);
        Touch(d, kIdGpiStepDown);
        Touch(d, kIdGpiStepUp);
        EXPECT_EQ(Selected(d, kIdGpiEvents), 1);
        EXPECT_EQ(rig->Unit(1)->GpiSequences()[0].current, 2);

        // A touch on an event: reset, then one advance per event up to it, 100 ms apart; the
        // list is not read again.
        before = tap->packets.size();
        uint64_t paused = clock.PausedMs();
        TouchRow(events, 2);
        const Bytes reset = {179, 0, kGpiReset}, step = {179, 0, kGpiStep};
        EXPECT_EQ(Sent({kCmdGpiSequence, kCmdGpiListOpen}, before),
                  (std::vector<Bytes>{reset, step, step, step}));
        EXPECT_EQ(clock.PausedMs() - paused, 300u);
        EXPECT_EQ(rig->Unit(1)->GpiSequences()[0].current, 3);

        // A touch on the event already highlighted cues it again.
        Touch(d, kIdGpiStepDown);
        ASSERT_EQ(Selected(d, kIdGpiEvents), 0);
        before = tap->packets.size();
        TouchRow(events, 0);
        TouchRow(events, 0);
        EXPECT_EQ(Sent({kCmdGpiSequence}, before), (std::vector<Bytes>{reset, step, reset, step}));
        EXPECT_EQ(rig->Unit(1)->GpiSequences()[0].current, 1);

        // A finger slid from the first event to the third picks once, where it lifts.
        before = tap->packets.size();
        paused = clock.PausedMs();
        Slide(events, 0, 2);
        EXPECT_EQ(Sent({kCmdGpiSequence}, before), (std::vector<Bytes>{reset, step, step, step}));
        EXPECT_EQ(clock.PausedMs() - paused, 300u);
        EXPECT_EQ(Selected(d, kIdGpiEvents), 2);

        Touch(d, kIdGpiReset);
        EXPECT_EQ(rig->Unit(1)->GpiSequences()[0].current, 0);
        EXPECT_EQ(Selected(d, kIdGpiEvents), 2);

        events->setCurrentRow(1);  // highlighted without a pick: Remove takes it
        Touch(d, kIdGpiRemove);
        EXPECT_EQ(Events(1, 0), (std::vector<uint8_t>{1, 3}));
        EXPECT_EQ(Lines(d, kIdGpiEvents).size(), 2);
        Touch(d, kIdGpiRemoveAll);
        EXPECT_TRUE(Events(1, 0).empty());
        EXPECT_EQ(Events(1, 1).size(), 4u) << "the other sequence is untouched";
    });
}

TEST_F(GpiDialog, InputSettingsAreReadPerTabKeptAndWrittenBackInOrder) {
    ConnectToSetup(3);  // the Cedar, outside group A, with reference video
    // Input 2 holds settings of its own at the unit.
    SimUnit& cedar = *rig->Unit(3);
    cedar.ChangeControl(116, 2);
    cedar.ChangeControl(115, 40);
    cedar.ChangeSwitch(231, 1);
    cedar.ChangeControl(116, 1);
    size_t closedAt = 0;
    Open<CGpiInputDlg>([&](CGpiInputDlg& d) {
        EXPECT_EQ(d.size(), QSize(738, 392));  // 492 x 241 dialog units
        // Every input asked for: selected, its two switches and its dwell reported.
        std::vector<Bytes> reads;
        for (uint8_t i = 1; i <= 3; ++i) {
            reads.push_back({168, 116, 0, i});
            reads.push_back({168, 230, 255});
            reads.push_back({168, 231, 255});
            reads.push_back({129, 115, 0, 0});
        }
        EXPECT_EQ(Sent({kCmdSetValue, kCmdAdjustControl}), reads);

        auto* tabs = Control<QTabBar>(d, kIdGpiTabs);
        auto* enable = Control<QCheckBox>(d, kIdGpiInputEnable);
        auto* high = Control<QCheckBox>(d, kIdGpiHighEnable);
        auto* dwell = Control<CUpDownCtrl>(d, kIdGpiDwellUpDown);
        auto* shown = Control<QLabel>(d, kIdGpiDwellValue);
        ASSERT_EQ(tabs->count(), 3);
        EXPECT_EQ(tabs->currentIndex(), 0) << "the input the select control named";
        EXPECT_TRUE(enable->isChecked());
        EXPECT_FALSE(high->isChecked());
        EXPECT_EQ(shown->text(), "10");

        tabs->setCurrentIndex(1);
        EXPECT_TRUE(high->isChecked());
        EXPECT_EQ(shown->text(), "40");
        // Held: steps of 1, of 5 from two seconds on; at 120 the value stops and so does the
        // auto-repeat.
        dwell->Press(1);
        EXPECT_EQ(shown->text(), "41");
        clock.Advance(1999);
        dwell->OnRepeat();
        EXPECT_EQ(shown->text(), "42");
        clock.Advance(1);
        dwell->OnRepeat();
        EXPECT_EQ(shown->text(), "47");
        for (int i = 0; i < 30 && dwell->Repeating(); ++i)
            dwell->OnRepeat();
        EXPECT_FALSE(dwell->Repeating());
        EXPECT_EQ(shown->text(), "120");
        dwell->Release();
        dwell->Press(-1);
        dwell->Release();
        EXPECT_EQ(shown->text(), "119");

        // Below 0 it stops at 0.
        tabs->setCurrentIndex(2);
        dwell->Press(-1);
        for (int i = 0; i < 30 && dwell->Repeating(); ++i)
            dwell->OnRepeat();
        EXPECT_FALSE(dwell->Repeating());
        EXPECT_EQ(shown->text(), "0");

        tabs->setCurrentIndex(0);
        enable->click();
        tabs->setCurrentIndex(1);
        EXPECT_EQ(shown->text(), "119") << "kept across tab changes";
        tabs->setCurrentIndex(0);
        EXPECT_FALSE(enable->isChecked());
        EXPECT_EQ(Sent({kCmdSetValue}).size(), 9u) << "nothing written while open";
        tabs->setCurrentIndex(1);
        closedAt = tap->packets.size();
        Touch(d, kIdGpiClose);
    });
    const std::vector<Bytes> writes = {
        {168, 116, 0, 1}, {168, 230, 0},    {168, 231, 0},      {168, 115, 0, 10}, {168, 116, 0, 2},
        {168, 230, 1},    {168, 231, 1},    {168, 115, 0, 119}, {168, 116, 0, 3},  {168, 230, 1},
        {168, 231, 0},    {168, 115, 0, 0}, {168, 116, 0, 2}};
    EXPECT_EQ(Sent({kCmdSetValue, kCmdAdjustControl}, closedAt), writes);
    // The unit keeps them per input.
    EXPECT_EQ(cedar.ControlValue(115), 119);
    cedar.ChangeControl(116, 1);
    EXPECT_EQ(cedar.SwitchValue(230), 0);
    EXPECT_EQ(cedar.ControlValue(115), 10);
}

// Lists the unit does not send are not taken from an earlier read, perhaps another unit's.
TEST_F(GpiDialog, ListsTheUnitDoesNotSendAreNotMadeUp) {
    ConnectToSetup(1);
    SimUnitFaults& faults = rig->Unit(1)->Faults();
    faults.corruption = SimCorruption::WrongCode;
    faults.corruptCommand = kCmdFileListOpen;
    Open<CGpiDlg>([&](CGpiDlg& d) {
        EXPECT_TRUE(Lines(d, kIdGpiFiles).isEmpty());
        EXPECT_EQ(Lines(d, kIdGpiEvents), (QStringList{"File 5", "File 1", "File 2"}))
            << "the names are not known; the files may well be on the unit";
    });
    faults.corruptCommand = kCmdGpiListOpen;
    Open<CGpiDlg>([&](CGpiDlg& d) {
        EXPECT_EQ(Control<QTabBar>(d, kIdGpiTabs)->count(), 0);
        EXPECT_TRUE(Lines(d, kIdGpiEvents).isEmpty());
    });
}

TEST_F(GpiDialog, AUnitWithoutSequencesGivesADialogWithoutTabs) {
    SimProfile cedar = ShippedProfile("cedar");
    cedar.gpiSequences.clear();
    rig->AddUnit(3, cedar);
    ConnectToSetup(3);
    Open<CGpiInputDlg>([&](CGpiInputDlg& d) {
        EXPECT_EQ(Control<QTabBar>(d, kIdGpiTabs)->count(), 0);
        EXPECT_TRUE(Lines(d, kIdGpiEvents).isEmpty());
        EXPECT_FALSE(Control<QCheckBox>(d, kIdGpiInputEnable)->isEnabled());
        EXPECT_FALSE(Control<CUpDownCtrl>(d, kIdGpiDwellUpDown)->isEnabled());
        for (int id : {kIdGpiAdd, kIdGpiRemoveAll, kIdGpiStepDown, kIdGpiReset})
            Touch(d, id);
    });
    EXPECT_TRUE(Sent({kCmdGpiSequence, kCmdGpiEvent, kCmdSetValue, kCmdAdjustControl}).empty());
}

}  // namespace
