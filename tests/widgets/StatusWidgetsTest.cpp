#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTest>

#include <functional>
#include <string>

#include "link/UnitScanner.h"
#include "widgets/BitmapTextButton.h"
#include "widgets/ColorLabel.h"
#include "widgets/StatusStrip.h"
#include "widgets/TitleStrip.h"

#include "tests/support/ImageProbes.h"

namespace {

const QColor kBackground = kProbeBackground;

bool IsInk(QColor c) {
    return c != kBackground;
}

void UseDejaVu() {
    QFont::insertSubstitution(QStringLiteral("Trebuchet MS"), QStringLiteral("DejaVu Sans"));
}

// ---- Unit status strip ---------------------------------------------------------------------

class StatusStrip : public testing::Test {
protected:
    void SetUp() override {
        panel.resize(800, 600);
        strip = new CStatusStrip(&panel);
        for (int k = 0; k < kUnitCount; ++k) {
            online[k] = new QLabel(&panel);
            active[k] = new QLabel(&panel);
        }
        strip->Create(171, 509, &units, online, active);
    }

    QWidget panel;
    CStatusStrip* strip = nullptr;
    QWidget* online[kUnitCount] = {};
    QWidget* active[kUnitCount] = {};
    CUnitScanner units;
};

TEST_F(StatusStrip, BackingSwatchScalesPercentagesAndStopsAt255) {
    EXPECT_EQ(BackingChannel(100), 254) << "100 x 2.55 lies just below 255";
    EXPECT_EQ(BackingChannel(50), 127);
    EXPECT_EQ(BackingChannel(101), 255);
    EXPECT_EQ(BackingChannel(-10), -25);
    EXPECT_EQ(BackingSwatchColor(-25, 0, 300), QColor(231, 0, 44)) << "the low byte of each";

    ASSERT_TRUE(strip->rect().contains(Gdi(0, 0, 451, 21)));
    const QPoint middle(327, 12);
    strip->SetScreenColor(100, 50, 0);
    QImage image = Render(*strip);
    EXPECT_EQ(image.pixelColor(middle), QColor(254, 127, 0));
    // A black outline inside the rectangle; its right and bottom edges are outside.
    EXPECT_EQ(image.pixelColor(349, 12), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(350, 12), kBackground);
    EXPECT_EQ(image.pixelColor(327, 20), kBackground);

    strip->SetScreenColor(101, 101, 101);
    EXPECT_EQ(Render(*strip).pixelColor(middle), QColor(255, 255, 255));
}

TEST_F(StatusStrip, OnAirLampLightsOnlyOnAChange) {
    const QPoint middle(432, 12);  // of (414, 4)-(450, 20)
    EXPECT_EQ(Render(*strip).pixelColor(middle), QColor(0, 0, 0));
    const int invalidations = strip->InvalidationCount();
    strip->SetOnAir(false);
    EXPECT_EQ(strip->InvalidationCount(), invalidations);
    strip->SetOnAir(true);
    strip->SetOnAir(true);
    EXPECT_EQ(strip->InvalidationCount(), invalidations + 1);
    const QImage image = Render(*strip);
    EXPECT_EQ(image.pixelColor(middle), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(449, 12), QColor(0, 0, 0));
}

TEST_F(StatusStrip, DigitsShowUnitsOnLineAndTheActiveOne) {
    EXPECT_EQ(OnlineDigitRect(171, 509, 4), Gdi(287, 513, 302, 528));

    units.identities[1].ModelCode = kModelElm;
    units.identities[3].ModelCode = kModelCedar;
    strip->SetActiveUnit(3);
    Render(*strip);
    EXPECT_EQ(online[0]->geometry(), Gdi(227, 513, 242, 528));
    EXPECT_EQ(online[1]->geometry(), kHiddenDigitRect);
    EXPECT_EQ(online[2]->geometry(), Gdi(267, 513, 282, 528));
    EXPECT_EQ(active[2]->geometry(), Gdi(376, 513, 391, 528));

    // Unit 3 stops answering: its digit goes at the next paint, nobody tells the strip.
    units.identities[3].ModelCode = kModelNone;
    Render(*strip);
    EXPECT_EQ(online[2]->geometry(), kHiddenDigitRect);

    strip->SetActiveUnit(0);
    Render(*strip);
    for (int k = 0; k < kUnitCount; ++k)
        EXPECT_EQ(active[k]->geometry(), kHiddenDigitRect);

    // Going on air takes the digits down until the next paint puts them back.
    strip->SetActiveUnit(1);
    Render(*strip);
    strip->SetOnAir(true);
    EXPECT_EQ(active[0]->geometry(), kHiddenDigitRect);
    Render(*strip);
    EXPECT_EQ(active[0]->geometry(), Gdi(376, 513, 391, 528));
}

// ---- Colour label --------------------------------------------------------------------------

const QColor kTitleGreen(145, 192, 74);

bool IsTitleGreen(QColor c) {
    return std::abs(c.red() - 145) < 30 && std::abs(c.green() - 192) < 30 &&
           std::abs(c.blue() - 74) < 30;
}

class ColorLabel : public testing::Test {
protected:
    void SetUp() override {
        UseDejaVu();
        parent.resize(500, 200);
        label = new CColorLabel(&parent);
    }
    void Configure() {
        label->SetTransparent(true);
        label->SetFaceName(QStringLiteral("Trebuchet MS"));
        label->SetPointSize(16);
        label->SetBold(true);
        label->SetTextColor(kTitleGreen);
    }

    QWidget parent;
    CColorLabel* label = nullptr;
};

TEST_F(ColorLabel, SixteenPointBoldTitleAndTextOnlyOnceAttached) {
    Configure();
    label->SetText("Effect Menu");
    EXPECT_EQ(label->Text(), "");

    label->Attach(QRect(150, 36, 501, 28));
    Configure();
    ASSERT_EQ(label->logicalDpiY(), 96);
    EXPECT_EQ(label->LabelFont().pixelSize(), 21);
    EXPECT_EQ(label->LabelFont().weight(), QFont::Bold);
    label->SetText("Effect Menu");
    EXPECT_EQ(label->Text(), "Effect Menu");
    EXPECT_EQ(ColorLabelShownText(std::string(80, 'a')), QString(63, QLatin1Char('a')));
}

TEST_F(ColorLabel, CentredTitleWrapsOntoASecondLineAndIsTopAligned) {
    label->Attach(QRect(0, 0, 200, 60));
    Configure();
    const QRect secondLine(0, 30, 200, 30);

    label->SetText("Secondary Colour Correction");
    QImage image = Render(*label);
    EXPECT_FALSE(Matching(image, QRect(0, 0, 200, 28), IsTitleGreen).isEmpty());
    const QRect wrapped = Matching(image, secondLine, IsTitleGreen);
    ASSERT_FALSE(wrapped.isEmpty()) << "the title goes on on a second line";
    EXPECT_LE(wrapped.right(), 199);

    label->SetText("Keyer");
    image = Render(*label);
    const QRect word = Matching(image, image.rect(), IsTitleGreen);
    ASSERT_FALSE(word.isEmpty());
    EXPECT_NEAR(word.center().x(), 100, 3) << "centred";
    EXPECT_LT(word.top(), 10) << "top-aligned";
}

TEST_F(ColorLabel, AShorterTitleOnAShownWindowLeavesNothingOfTheLongerOne) {
    // What the window really shows (its backing store), not a fresh rendering: a transparent
    // label must have its parent paint the old title away when the text changes.
    parent.setAutoFillBackground(true);
    QPalette dark = parent.palette();
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    parent.setPalette(dark);
    label->Attach(QRect(10, 10, 200, 60));
    Configure();
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    const QRect secondLine(10, 40, 200, 30);
    auto shown = [this] {
        QCoreApplication::processEvents();
        return QGuiApplication::primaryScreen()->grabWindow(parent.winId()).toImage();
    };

    label->SetText("Secondary Colour Correction");
    ASSERT_FALSE(Matching(shown(), secondLine, IsTitleGreen).isEmpty());
    label->SetText("Keyer");
    const QImage after = shown();
    EXPECT_TRUE(Matching(after, secondLine, IsTitleGreen).isEmpty()) << "the old title stays";
    EXPECT_FALSE(Matching(after, QRect(10, 10, 200, 28), IsTitleGreen).isEmpty());
}

// ---- Bitmap text button --------------------------------------------------------------------

QPixmap Filled(QSize size, QColor color) {
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

class BitmapTextButton : public testing::Test {
protected:
    void SetUp() override {
        UseDejaVu();
        button.SetFontFace(QStringLiteral("Trebuchet MS"), -13);
        button.SetTextColors(QColor(217, 217, 217), QColor(128, 128, 128));
    }
    CBitmapTextButton button;
};

TEST_F(BitmapTextButton, TwoLineCaptionLinesAre16PixelsApart) {
    const auto parts = LayoutCaption("Insert\r\nKeyframe", QRect(0, 0, 74, 33));
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].text, QStringLiteral("Insert")) << "the CR only ends the line";
    EXPECT_EQ(parts[0].rect, QRect(0, -1, 74, 33));
    EXPECT_EQ(parts[1].text, QStringLiteral("Keyframe"));
    EXPECT_EQ(parts[1].rect, QRect(0, 15, 74, 33));

    // Drawn: the same word twice lands 16 pixels lower and at the same x.
    button.SetImages(Filled(QSize(74, 33), Qt::black));
    button.SetText("Insert\r\nInsert");
    const QImage image = Render(button);
    auto light = [](QColor c) { return c.green() > 120; };
    const QRect first = Matching(image, QRect(0, 0, 74, 15), light);
    const QRect second = Matching(image, QRect(0, 15, 74, 18), light);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(second.top() - first.top(), 16);
    EXPECT_EQ(second.left(), first.left());
    EXPECT_EQ(second.right(), first.right());
}

TEST_F(BitmapTextButton, WithoutBitmapsTheCaptionIsCentredInTheButton) {
    button.SetBitmaps(9999, 0, 0);
    EXPECT_FALSE(button.ImagesLoaded());
    button.resize(100, 40);
    button.SetText("Menu 1");
    const QRect ink = Matching(Render(button), button.rect(), IsInk);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 50, 2);
    EXPECT_NEAR(ink.center().y(), 19, 4);
    EXPECT_EQ(button.size(), QSize(100, 40)) << "keeps its own size";
}

TEST_F(BitmapTextButton, ImageIsTheChosenOneWhateverThePressedState) {
    button.SetImages(Filled(QSize(76, 35), Qt::darkGray), Filled(QSize(76, 35), Qt::green));
    button.resize(10, 10);
    button.SetText("Run");
    EXPECT_EQ(Render(button).pixelColor(2, 2), QColor(Qt::darkGray));
    EXPECT_EQ(button.size(), QSize(76, 35)) << "the button takes its image's size";

    button.m_nImage = 1;
    button.setDown(true);
    EXPECT_EQ(Render(button).pixelColor(2, 2), QColor(Qt::green));
    button.m_nImage = 2;
    EXPECT_EQ(Render(button).pixelColor(2, 2), QColor(Qt::darkGray)) << "unknown: the first";

    // A disabled button draws its caption in the disabled colour.
    button.setEnabled(false);
    const QImage image = Render(button);
    auto isDisabledGrey = [](QColor c) { return c == QColor(128, 128, 128); };
    auto isNormalGrey = [](QColor c) { return c == QColor(217, 217, 217); };
    EXPECT_FALSE(Matching(image, image.rect(), isDisabledGrey).isEmpty());
    EXPECT_TRUE(Matching(image, image.rect(), isNormalGrey).isEmpty());
}

// ---- Unit title strip ----------------------------------------------------------------------

TEST(TitleStrip, GreyBandOfFortyBlanksThenTheTitle) {
    UseDejaVu();
    EXPECT_EQ(TitleBandRect(160, 15), Gdi(110, 4, 270, 19));
    EXPECT_EQ(TitleBandRect(260, 18), Gdi(110, 4, 310, 19)) << "clipped at x 310, y 19";
    EXPECT_EQ(TitleStripText(std::string(300, 'T')).size(), 255u);

    CTitleStrip strip;
    strip.SetText("Studio A");
    const QRect band = strip.BandRect();
    ASSERT_LT(band.width(), 200);

    const QImage image = Render(strip);
    const QColor grey(89, 89, 89);
    EXPECT_EQ(image.pixelColor(band.right(), 10), grey);
    EXPECT_EQ(image.pixelColor(band.right() + 1, 10), kBackground);
    EXPECT_EQ(image.pixelColor(band.right(), 3), kBackground);

    // Light grey, also where it blends into the band.
    auto isTitleGrey = [](QColor c) {
        return c.red() > 120 && c.red() == c.green() && c.green() == c.blue();
    };
    const QRect text = Matching(image, image.rect(), isTitleGrey);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 110);
    EXPECT_LE(text.left(), 112) << "left-aligned";
    EXPECT_LE(text.bottom(), 16);
}

}  // namespace
