#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include <array>
#include <functional>
#include <string>

#include "link/PanelState.h"
#include "widgets/InfoPanel.h"
#include "widgets/Resources.h"

#include "tests/support/ImageProbes.h"

namespace {

const QColor kBackground = kProbeBackground;

// A rectangle given by its exclusive right and bottom edges.

std::string Blanks(int count) {
    return std::string(static_cast<size_t>(count), ' ');
}

bool IsRed(QColor c) {
    return c.red() >= 200 && c.green() <= 60 && c.blue() <= 60;
}
bool IsYellow(QColor c) {
    return c.red() >= 200 && c.green() >= 200 && c.blue() <= 60;
}
// Grey text, also where its edges blend into the dark background.
bool IsLightGrey(QColor c) {
    return c.red() >= 100 && c.red() == c.green();
}

class InfoPanel : public testing::Test {
protected:
    void SetUp() override {
        QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
        ResetPanelState();
        menus.fill(-1);
        panel.Create(0, 0, menus.data(), true);
        CInfoPanel blank;
        blank.Create(0, 0, menus.data(), false);
        bare = Render(blank);
    }
    void TearDown() override { ResetPanelState(); }

    void SelectUnit(int unit, uint8_t model) {
        g_selectedUnit = AddressOfUnit(unit);
        g_unitIdentity.ModelCode = model;
    }
    void DefineSwitch(uint16_t id, const std::string& name, uint16_t value) {
        g_menuDatabase.switches[id - kFirstSwitchId].name = name;
        g_menuDatabase.switches[id - kFirstSwitchId].value = value;
    }

    // The pixels of `area` that the overlay changed.
    QRect Ink(const QImage& image, const QRect& area) const {
        QRect found;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (image.pixel(x, y) != bare.pixel(x, y)) found |= QRect(x, y, 1, 1);
            }
        }
        return found;
    }

    std::array<int32_t, kUnitSlots> menus{};
    CInfoPanel panel;
    QImage bare;  // the panel with nothing drawn over its bitmap
};

TEST_F(InfoPanel, AlertBeatsMessageBeatsKeyframesBeatsStatus) {
    EXPECT_EQ(ChooseInfoView("a", "m", kEffectMenu, true), InfoView::Alert);
    EXPECT_EQ(ChooseInfoView("", "m", kEffectMenu, true), InfoView::Message);
    EXPECT_EQ(ChooseInfoView("", "", kEffectMenu, false), InfoView::Keyframe);
    EXPECT_EQ(ChooseInfoView("", "", 12, true), InfoView::Status);
    EXPECT_EQ(ChooseInfoView("", "", 12, false), InfoView::None);

    // Setting one line empties the other.
    panel.ShowAlert("Lost communication with Main Unit!");
    panel.ShowMessage("Select an Online Main Unit!");
    EXPECT_EQ(panel.Alert(), "");
    EXPECT_EQ(panel.Message(), "Select an Online Main Unit!");
    panel.ShowAlert("Lost communication with Main Unit!");
    EXPECT_EQ(panel.Message(), "");

    // Clearing a message line that is already clear leaves the alert standing.
    panel.ShowMessage("");
    EXPECT_EQ(panel.Alert(), "Lost communication with Main Unit!");

    // Create starts afresh: no texts, the lamp lit.
    panel.SetStatusFlags(0);
    panel.Create(171, 398, menus.data(), true);
    EXPECT_EQ(panel.Alert(), "");
    EXPECT_TRUE(panel.RefLampLit());
    EXPECT_EQ(panel.geometry(), QRect(171, 398, kInfoPanelWidth, kInfoPanelHeight));
}

TEST_F(InfoPanel, TextsRepaintBeforeReturningAndOnlyWhenTheyChange) {
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QCoreApplication::processEvents();

    int paints = panel.PaintCount();
    panel.ShowMessage("Double click control to update Main Unit.");
    EXPECT_EQ(panel.PaintCount(), paints + 1) << "the message is on screen before the call ends";

    paints = panel.PaintCount();
    panel.ShowMessage("Double click control to update Main Unit.");
    EXPECT_EQ(panel.PaintCount(), paints);

    panel.ShowAlert("Lost communication with Main Unit!");
    EXPECT_EQ(panel.PaintCount(), paints + 1);
    panel.ShowAlert("Lost communication with Main Unit!");
    panel.ShowMessage("");
    EXPECT_EQ(panel.PaintCount(), paints + 1);
}

TEST_F(InfoPanel, AlertIsRedAndAMessageReplacesIt) {
    panel.ShowAlert("Lost communication with Main Unit!");
    QImage image = Render(panel);
    EXPECT_FALSE(Matching(image, kAlertRect, IsRed).isEmpty());

    panel.ShowMessage("Select an Online Main Unit!");
    image = Render(panel);
    EXPECT_TRUE(Matching(image, image.rect(), IsRed).isEmpty());
    const QRect yellow = Matching(image, kMessageRect, IsYellow);
    ASSERT_FALSE(yellow.isEmpty());
    // Centred on the message rectangle, which reaches beyond the panel's right edge.
    EXPECT_NEAR(yellow.center().x(), kMessageRect.center().x(), 3);
}

TEST_F(InfoPanel, LineBreakStartsANewLine) {
    EXPECT_EQ(InfoDisplayText("one\r\ntwo\rthree\nfour"), QStringLiteral("one\ntwo\nthree\nfour"));

    panel.ShowMessage("Saving file");
    const QRect oneLine = Matching(Render(panel), panel.rect(), IsYellow);
    panel.ShowMessage("Saving file\r\nPlease wait");
    const QRect twoLines = Matching(Render(panel), panel.rect(), IsYellow);
    ASSERT_FALSE(oneLine.isEmpty());
    EXPECT_GE(twoLines.bottom(), oneLine.bottom() + 14);
    EXPECT_EQ(twoLines.top(), oneLine.top());
}

TEST_F(InfoPanel, EffectMenuShowsTheKeyframePosition) {
    SelectUnit(2, kModelBirch);
    menus[2] = kEffectMenu;
    g_currentEffect = 5;
    g_effects[5].keyframeCount = 3;
    g_effects[5].currentKeyframe = 2;

    EXPECT_EQ(BuildInfoOverlay(panel.Content()).lines.at(0).text,
              QStringLiteral("Keyframe 2 of 3"));
    EXPECT_FALSE(Matching(Render(panel), kKeyframeRect, IsLightGrey).isEmpty());

    // Another unit's effect menu is not this one's.
    menus[2] = 12;
    menus[3] = kEffectMenu;
    EXPECT_EQ(BuildInfoOverlay(panel.Content()).view, InfoView::Status);

    // An effect number past the table reads as an empty effect.
    menus[2] = kEffectMenu;
    g_currentEffect = 200;
    EXPECT_EQ(BuildInfoOverlay(panel.Content()).lines[0].text, QStringLiteral("Keyframe 0 of 0"));
}

TEST_F(InfoPanel, SwitchLabelsFollowTheirValue) {
    EXPECT_EQ(SwitchStateLabel("Input,SDI 1,SDI 2", 0), " ");
    EXPECT_EQ(SwitchStateLabel("Input,SDI 1,SDI 2", 1), "SDI 1");
    EXPECT_EQ(SwitchStateLabel("Input,SDI 1,SDI 2", 2), "SDI 2");
    // A value past the last field keeps the last field there is.
    EXPECT_EQ(SwitchStateLabel("Input,SDI 1,SDI 2", 9), "SDI 2");
    EXPECT_EQ(SwitchStateLabel("Input," + std::string(40, 'x'), 1), std::string(31, 'x'));

    DefineSwitch(140, "Matte,Black,White", 2);
    EXPECT_EQ(ItemStateLabel(140), "White");
    EXPECT_EQ(ItemStateLabel(12), " ") << "a menu number is not a switch";
    EXPECT_EQ(ItemStateLabel(400), " ") << "past the switch table";
}

TEST_F(InfoPanel, OtherModelsShowInputNamesAndARefLampThatFollowsTheFlags) {
    SelectUnit(1, kModelCedar);
    menus[1] = 3;
    auto& items = g_menuDatabase.menus[kInputMenu].items;
    items[kInputItemFg] = 140;
    items[kInputItemBg] = 141;
    items[kInputItemMatte1] = 142;
    items[kInputItemMatte2] = 7;
    DefineSwitch(140, "FG,SDI 1,SDI 2", 2);
    DefineSwitch(141, "BG,SDI 1,SDI 2", 1);
    DefineSwitch(142, "Matte,SDI 1,SDI 2", 0);
    panel.SetScreenColor(10, 20, 30, 40);

    const InfoOverlay overlay = BuildInfoOverlay(panel.Content());
    ASSERT_EQ(overlay.lines.size(), 3u);
    EXPECT_EQ(overlay.lines[0].rect, Gdi(50, 10, 405, 25));
    EXPECT_EQ(overlay.lines[0].alignment, Qt::AlignRight | Qt::AlignTop);
    // Two blanks after the colon, three between the parts.
    EXPECT_EQ(overlay.lines[0].text,
              QStringLiteral("Screen Color:  R = 10%   G = 20%   B = 30%   M = 40%   Ref:"));
    EXPECT_EQ(overlay.lines[1].rect, Gdi(50, 35, 430, 50));
    EXPECT_EQ(overlay.lines[1].text.toStdString(),
              Blanks(18) + "FG: SDI 2" + Blanks(10) + "  Matte 1: " + Blanks(15));
    EXPECT_EQ(overlay.lines[2].rect, Gdi(50, 50, 430, 65));
    EXPECT_EQ(overlay.lines[2].text.toStdString(),
              Blanks(18) + "BG: SDI 1" + Blanks(10) + "  Matte 2: " + Blanks(15));

    // The lamp (410, 12)-(430, 27) starts lit, ignores other flags and goes red without
    // reference video.
    const QPoint lampMiddle(420, 19);
    const QImage image = Render(panel);
    EXPECT_EQ(image.pixelColor(lampMiddle), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(410, 19), QColor(0, 0, 0)) << "outline inside the rectangle";
    EXPECT_EQ(image.pixel(430, 19), bare.pixel(430, 19));
    const int invalidations = panel.InvalidationCount();
    panel.SetStatusFlags(kRefLampFlag | kFlagTally);
    EXPECT_EQ(panel.InvalidationCount(), invalidations);
    panel.SetStatusFlags(0);
    EXPECT_EQ(panel.InvalidationCount(), invalidations + 1);
    EXPECT_EQ(Render(panel).pixelColor(lampMiddle), QColor(255, 0, 0));
}

TEST_F(InfoPanel, GroupAShowsInputNumbersAndModelFourOnlyTheColours) {
    SelectUnit(3, kModelBirch);
    menus[3] = 0;
    g_menuDatabase.controls[kControlFgInput].value = 1;
    g_menuDatabase.controls[kControlBgInput].value = 2;
    g_menuDatabase.controls[kControlMatteInput].value = 3;
    g_menuDatabase.controls[kControlReferenceInput].value = 4;

    InfoOverlay overlay = BuildInfoOverlay(panel.Content());
    ASSERT_EQ(overlay.lines.size(), 3u);
    EXPECT_EQ(overlay.lines[0].rect, Gdi(50, 10, 425, 25));
    EXPECT_EQ(overlay.lines[1].text.toStdString(),
              Blanks(15) + "FG Input: 1" + Blanks(14) + "  Matte Input: 3");
    EXPECT_EQ(overlay.lines[2].text.toStdString(),
              Blanks(15) + "BG Input: 2" + Blanks(14) + "  Reference Input: 4");

    g_unitIdentity.ModelCode = kModelElm;
    panel.SetScreenColor(100, 0, 0, 0);
    overlay = BuildInfoOverlay(panel.Content());
    ASSERT_EQ(overlay.lines.size(), 1u);
    EXPECT_EQ(overlay.lines[0].text,
              QStringLiteral("Screen Color:  R = 100%   G = 0%   B = 0%   M = 0%"));

    const QImage image = Render(panel);
    EXPECT_EQ(image.pixel(420, 19), bare.pixel(420, 19)) << "no lamp";
    const QRect text = Ink(image, panel.rect());
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LT(text.bottom(), kColorLineCentredRect.bottom() + 1) << "no input lines";
    EXPECT_NEAR(text.center().x(), kColorLineCentredRect.center().x(), 3);
}

TEST_F(InfoPanel, TheWidestColourLineFitsItsBoxAndIsClippedToIt) {
    // In the panel's stand-in face, narrowed to Trebuchet's widths, the colour line at 100%
    // everywhere fits the 355 pixels of its box; it is clipped there, so nothing lands left
    // of x = 50 and its first letter is whole.
    SelectUnit(1, kModelCedar);
    menus[1] = 3;
    panel.SetScreenColor(100, 100, 100, 100);
    const InfoOverlay overlay = BuildInfoOverlay(panel.Content());
    const QFont font = PanelFont(FontPixelHeight(96, kStatusTextSize), QFont::Normal);
    EXPECT_LE(QFontMetrics(font).horizontalAdvance(overlay.lines[0].text), 355);

    const QImage image = Render(panel);
    const QRect row(0, 10, kInfoPanelWidth, 15);
    const QRect ink = Ink(image, row.intersected(QRect(0, 10, 409, 15)));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 50);
    EXPECT_LE(ink.left(), 62) << "the S of Screen starts the line";
    EXPECT_LE(ink.right(), 404);

    // A text wider than its box loses what lies outside it.
    panel.ShowMessage(std::string(120, 'W'));
    const QRect message = Ink(Render(panel), panel.rect());
    EXPECT_GE(message.left(), 10);
    EXPECT_LE(message.right(), 479);
}

}  // namespace
