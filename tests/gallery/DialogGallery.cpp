// Pictures of every setup dialog as the kiosk shows it: the 800 x 600 panel connected to the
// simulated rig, the dialog over it where its placement puts it, with its caption strip and,
// where it takes a name, the touch keyboard; and one montage of them all for the README.
//     kv4_dialog_gallery OUT_DIR      (tools/screenshot-dialogs.sh builds and runs it)

#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include "dialogs/DialogKit.h"
#include "dialogs/DialogStyle.h"
#include "dialogs/TouchKeyboard.h"
#include "tests/dialogs/DialogFixture.h"

void BeforeTestApplication() {
    PrepareTouchKeyboard();
}

extern "C" int __lsan_is_turned_off() {
    return 1;
}

namespace {

constexpr int kColumns = 4;
constexpr int kTileWidth = 400;
constexpr int kTileHeight = 300;

QString OutDir() {
    const QString dir = qEnvironmentVariable("KV4_GALLERY_DIR", QStringLiteral("build/gallery"));
    QDir().mkpath(dir);
    return dir;
}

class Gallery : public DialogTest, public QObject {
protected:
    // Opens a dialog by touch on the panel of unit, after the steps that lead to its menu, and
    // pictures it over the panel as the kiosk shows it.
    void Shoot(const QString& file, int unit, const std::function<void()>& lead,
               const std::function<void()>& touch) {
        Start();
        panel->move(0, 0);
        panel->show();
        Connect(unit);
        lead();
        QTimer shot;
        shot.setSingleShot(true);
        bool taken = false;
        connect(&shot, &QTimer::timeout, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, panel.get()) << file.toStdString() << ": no dialog";
            taken = true;
            // The keyboard lays out its keys once it is on screen.
            QTest::qWait(400);
            QImage screen(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
            QPainter painter(&screen);
            painter.drawPixmap(0, 0, panel->grab());
            painter.drawPixmap(dialog->geometry().topLeft() - panel->geometry().topLeft(),
                               dialog->grab());
            painter.end();
            screen.save(OutDir() + "/" + file + ".png");
            m_shots.push_back({dialog->windowTitle(), screen});
            if (auto* d = qobject_cast<QDialog*>(dialog)) d->reject();
        });
        shot.start(0);
        touch();
        shot.stop();
        EXPECT_TRUE(taken) << file.toStdString() << ": the touch opened no dialog";
    }

    static void SaveMontage(const std::vector<std::pair<QString, QImage>>& shots) {
        const int rows = (static_cast<int>(shots.size()) + kColumns - 1) / kColumns;
        QImage montage(kColumns * kTileWidth, rows * kTileHeight, QImage::Format_RGB32);
        montage.fill(QColor(0x2b, 0x2d, 0x31));
        QPainter painter(&montage);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (size_t i = 0; i < shots.size(); ++i) {
            const QRect tile((static_cast<int>(i) % kColumns) * kTileWidth,
                             (static_cast<int>(i) / kColumns) * kTileHeight, kTileWidth,
                             kTileHeight);
            painter.drawImage(tile.adjusted(2, 2, -2, -2), shots[i].second);
        }
        painter.end();
        montage.save(OutDir() + "/dialogs.png");
    }

    static std::vector<std::pair<QString, QImage>> m_shots;
};

std::vector<std::pair<QString, QImage>> Gallery::m_shots;

// One test a picture: each starts from a fresh rig and panel, as an operator would.
#define KV4_SHOT(name, file, unit, lead, touch)                              \
    TEST_F(Gallery, name) {                                                 \
        ApplyPanelStyle(*qApp);                                             \
        SetDialogCaptions(true);                                            \
        Shoot(file, unit, [&] { lead; }, [&] { touch; });                   \
        SetDialogCaptions(false);                                           \
    }

KV4_SHOT(Files, "files", 3, (void)0, panel->OnMenuButton(7))
KV4_SHOT(Preferences, "preferences", 3, (void)0, panel->OnMenuButton(9))
KV4_SHOT(EffectMenu, "effect-menu", 1, panel->OnMenuButton(6), panel->OnMenuButton(5))
KV4_SHOT(CustomMenu, "custom-menu", 3, (panel->OnMenuButton(8), panel->OnMenuButton(3)),
         panel->OnMenuButton(1))
KV4_SHOT(Gpi, "gpi", 1, panel->OnMenuButton(5), panel->OnMenuButton(2))
KV4_SHOT(GpiInput, "gpi-input", 3, panel->OnMenuButton(5), panel->OnMenuButton(2))
KV4_SHOT(InputRouting, "input-routing", 3, panel->OnMenuButton(3), panel->OnMenuButton(1))
KV4_SHOT(OutputRouting, "output-routing", 3, panel->OnMenuButton(3), panel->OnMenuButton(2))
KV4_SHOT(Lockout, "lockout", 3, panel->m_currentMenu[3] = 7, panel->OnMenuButton(1))
KV4_SHOT(Attributes, "attributes", 3, panel->m_lamps[kLampAltByte] |= kLampAlt,
         panel->OnKnobDoubleClick(0))
KV4_SHOT(Monitor, "monitor", 3, panel->OnMenuButton(5), panel->OnMenuButton(4))
KV4_SHOT(Bypass, "bypass", 3, panel->m_lamps[kLampAltByte] |= kLampAlt, panel->OnMenuButton(9))
KV4_SHOT(About, "about", 3, (void)0, panel->OnLogoClick())

TEST_F(Gallery, Montage) {
    SaveMontage(m_shots);
}

}  // namespace
