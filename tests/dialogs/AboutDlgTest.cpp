// The About System dialog from the logo touch, and its text built from a unit's information
// answer and message template.

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/AboutDlg.h"
#include "dialogs/AboutText.h"
#include "link/Commands.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

UnitInfoBuffer Info(const std::string& bytes) {
    UnitInfoBuffer info{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), info.size()), info.begin());
    return info;
}

const std::string kSixMarkers =
    "About\nUnit: ^\nRemote Version: ^\nRelease Date: ^\nSoftware: ^\nHardware: ^\nSerial: ^";

TEST(AboutText, FillsTheMarkersAsEachModelSendsItsLines) {
    EXPECT_EQ(ProgramAboutText(), "Remote Version: 2.0.5.3\r\nRelease Date: July 20, 2011");

    // A model 4 with alternative menus: three header bytes; the count includes one of them.
    const auto elm = Info(
        "\x07\x04\x02"
        "Elm KV4\nSW 4.2\nHW C\nEL-1");
    EXPECT_EQ(UnitAboutText(elm, kSixMarkers, kModelElm, true),
              "Unit: Elm KV4\nRemote Version: 2.0.5.3\nRelease Date: July 20, 2011\n"
              "Software: SW 4.2\nHardware: HW C\nSerial: EL-1");

    // Without them: one header byte, and the first line is passed over.
    const auto plain = Info("\x07\x04\x02Old\nElm KV4\nSW 4.2\nHW C\nEL-1");
    EXPECT_EQ(UnitAboutText(plain, kSixMarkers, kModelElm, false),
              "Unit: Elm KV4\nRemote Version: 2.0.5.3\nRelease Date: July 20, 2011\n"
              "Software: SW 4.2\nHardware: HW C\nSerial: EL-1");

    // Model 9: two header bytes, two lines before the identity, the last marker takes the rest.
    const auto alder = Info(
        "\x05\x09"
        "Alder KV4\nSW 9.1\nHW D\nSN-9");
    EXPECT_EQ(
        UnitAboutText(alder, "Unit: ^\nSoftware: ^\nRemote: ^\nDate: ^\n^", kModelAlder, false),
        "Unit: Alder KV4\nSoftware: SW 9.1\nRemote: 2.0.5.3\nDate: July 20, 2011\n"
        "HW D\nSN-9");

    // Another model: a zero byte at the counter starts the second run of lines.
    const auto other = Info(std::string("\x08\x0b\x03"
                                        "Fern\nSW 1\nHW 2\n",
                                        18) +
                            std::string(1, '\0') + "SN 3\nOption A");
    EXPECT_EQ(UnitAboutText(other, kSixMarkers + "\n^", kModelFern, false),
              "Unit: Fern\nRemote Version: 2.0.5.3\nRelease Date: July 20, 2011\n"
              "Software: SW 1\nHardware: HW 2\nSerial: SN 3\nOption A");
}

TEST(AboutText, HostileAnswersStayInsideTheBufferAndTheTemplate) {
    // Lines that hold markers are values, not places for the next one.
    const auto carets = Info("\x07\x04\x02^^\n^\n^^^\nend");
    const std::string text = UnitAboutText(carets, kSixMarkers, kModelElm, true);
    EXPECT_EQ(text.rfind("Unit: ^^\nRemote Version: 2.0.5.3", 0), 0u) << text;

    UnitInfoBuffer full;
    full.fill('x');
    full[0] = 127;  // the largest count, no line feed and no zero anywhere
    const std::string many(300, '^');
    for (uint8_t model : {kModelElm, kModelAlder, kModelCedar}) {
        for (bool alt : {false, true}) {
            EXPECT_LE(UnitAboutText(full, "U" + many, model, alt).size(), 300u * 260u);
            UnitInfoBuffer zeros{};
            zeros[0] = 127;
            EXPECT_EQ(UnitAboutText(zeros, "U" + many, model, alt).find('x'), std::string::npos);
        }
    }
    full[0] = 0x80;  // a negative count: the fixed values only
    EXPECT_EQ(UnitAboutText(full, "Unit: ^", kModelCedar, false), "Unit: " + std::string(252, 'x'));
    EXPECT_EQ(UnitAboutText(full, "no capital here ^", kModelCedar, false),
              "no capital here " + std::string(252, 'x'));
}

class AboutDialog : public DialogTest {
protected:
    void Open(const std::function<void(CAboutDlg&)>& steps) {
        WhileOpen<CAboutDlg>([&] { panel->OnLogoClick(); }, steps);
    }
    static QString StaticText(QWidget& d, const QString& startsWith) {
        for (QLabel* label : d.findChildren<QLabel*>())
            if (label->text().startsWith(startsWith)) return label->text();
        return {};
    }
};

TEST_F(AboutDialog, ShowsTheVersionsAndAClickClosesIt) {
    Start();
    panel->show();
    Open([&](CAboutDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("About System"));
        EXPECT_EQ(d.size(), QSize(363, 491));  // 242 x 302 dialog units
        const QRect outer = d.frameGeometry();
        EXPECT_EQ(outer.left() - panel->geometry().left(), (800 - outer.width()) / 2 + 2);
        EXPECT_EQ(outer.top() - panel->geometry().top(), (600 - outer.height()) / 3);
        EXPECT_EQ(Control<QLabel>(d, kIdPanelVersion)->text(), "1.07A");
        EXPECT_EQ(d.AboutText(), "Remote Version: 2.0.5.3\r\nRelease Date: July 20, 2011");
        EXPECT_EQ(StaticText(d, "This"), QString::fromLatin1(kUpdateNote));
        EXPECT_EQ(Control<QPushButton>(d, kIdUpdate)->text(), "Update");
        QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(180, 60));
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
    });
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel->isVisible()) << "a click only closes the box";

    // The shipped Cedar; then a unit and a surface that do not answer.
    Connect(3);
    Open([&](CAboutDlg& d) {
        // The unit's messages break their lines with CR LF.
        EXPECT_EQ(d.AboutText().toStdString(),
                  "Unit: Cedar KV4 HD Keyer\r\nRemote Version: 2.0.5.3\r\n"
                  "Release Date: July 20, 2011\r\nUnit Software: Software 5.0.3 (Feb 2011)\r\n"
                  "Unit Hardware: Hardware rev. A\r\nSerial Number: CD11-00342\r\n"
                  "Options: Dual Key, 3G");
    });
    rig->Unit(3)->Faults().corruption = SimCorruption::WrongType;
    rig->Unit(3)->Faults().corruptCommand = kCmdUnitInfo;
    rig->Surface().SetSilent(true);
    Open([&](CAboutDlg& d) {
        EXPECT_EQ(d.AboutText(),
                  QString::fromLatin1((ProgramAboutText() + kUnitInfoUnread).c_str()));
        QLabel* version = Control<QLabel>(d, kIdPanelVersion);
        EXPECT_EQ(version->text(), QString::fromLatin1(kPanelVersionUnread));
        EXPECT_LE(version->fontMetrics().horizontalAdvance(version->text()), version->width())
            << "the failure text fits its label";
    });
}

TEST_F(AboutDialog, TextReadsOnTheLogoAndBelowItAndEveryTouchCloses) {
    Start();
    panel->show();
    Connect(3);
    // The picture with one short line, then with a text that runs past the light top of the
    // picture into its dark bar (with the white wordmark) and below it.
    g_unitMessages[0].message = "U";
    QImage ground;
    int lightHeight = 0;
    Open([&](CAboutDlg& d) {
        ground = d.grab().toImage();
        lightHeight = d.LogoLightHeight();
    });
    ASSERT_GT(lightHeight, 100);
    g_unitMessages[0].message = "Unit line 1";
    for (int line = 2; line <= 14; ++line)
        g_unitMessages[0].message += "\nline number " + std::to_string(line);
    Open([&](CAboutDlg& d) {
        const QImage shot = d.grab().toImage();
        // Where the text lies, it stands out from what is behind it: count the pixels it
        // changed by more than a readable contrast, on the light top and on the dark below.
        const auto contrasted = [&](int top, int bottom) {
            int count = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (std::abs(qGray(shot.pixel(x, y)) - qGray(ground.pixel(x, y))) > 120)
                        ++count;
            return count;
        };
        EXPECT_GT(contrasted(kAboutTextTop + 20, lightHeight - 2), 300) << "over the light top";
        EXPECT_GT(contrasted(lightHeight + 2, 188), 300) << "over the dark bar";
        // Over the white wordmark alone (its letters), the text's halo still marks each line.
        int wordmark = 0;
        for (int y = lightHeight + 2; y < 188; ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qGray(ground.pixel(x, y)) > 200 &&
                    qGray(ground.pixel(x, y)) - qGray(shot.pixel(x, y)) > 120)
                    ++wordmark;
        EXPECT_GT(wordmark, 5) << "the halo darkens the wordmark where a line crosses it";
        // The hardware line is no hidden door: a touch there closes the box like any other.
        const QRect line = Control<QLabel>(d, kIdPanelVersion)->geometry();
        QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(20, line.center().y()));
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
    });
}

TEST_F(AboutDialog, UpdateEndsTheProgram) {
    Start();
    panel->show();
    Open([&](CAboutDlg& d) { Control<QPushButton>(d, kIdUpdate)->click(); });
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(panel->result(), 0);  // the program's status
}

}  // namespace
