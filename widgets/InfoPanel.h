#pragma once

// The Info panel: the text area in the middle of the status box. It shows one thing at a
// time: an alert (red), else a message (yellow), else the keyframe position while the effect
// menu is up, else the selected unit's screen colour and input routing.

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Bitmap 136: the word Info at the left and the dark field the texts go on.
inline constexpr int kInfoPanelBitmap = 136;
inline constexpr int kInfoPanelWidth = 458;
inline constexpr int kInfoPanelHeight = 82;

// The Ref lamp is lit while the unit sees reference video.
inline constexpr uint32_t kRefLampFlag = 0x40;

// Menu 46 lists the four input switches in items 10 (FG), 11 (BG), 12 (Matte 1), 13 (Matte 2).
inline constexpr int kInputMenu = 46;
inline constexpr int kInputItemFg = 10;
inline constexpr int kInputItemBg = 11;
inline constexpr int kInputItemMatte1 = 12;
inline constexpr int kInputItemMatte2 = 13;
// Group-A units report their inputs as numbers in controls 93..96.
inline constexpr int kControlFgInput = 93;
inline constexpr int kControlBgInput = 94;
inline constexpr int kControlMatteInput = 95;
inline constexpr int kControlReferenceInput = 96;

// A state label is held in 32 bytes.
inline constexpr size_t kStateLabelMax = 31;

// Where each text goes, in the panel's own coordinates. Right and bottom edges are
// exclusive: (30, 10)-(460, 150) is QRect(30, 10, 430, 140). The first three reach beyond
// the panel and are clipped by it.
inline constexpr QRect kAlertRect{30, 10, 430, 140};
inline constexpr QRect kMessageRect{10, 10, 470, 140};
inline constexpr QRect kKeyframeRect{50, 10, 410, 140};
inline constexpr QRect kColorLineCentredRect{50, 10, 375, 15};  // (50, 10)-(425, 25)
inline constexpr QRect kColorLineRefRect{50, 10, 355, 15};      // (50, 10)-(405, 25)
inline constexpr QRect kRefLampRect{410, 12, 20, 15};           // (410, 12)-(430, 27)
inline constexpr QRect kInputLine1Rect{50, 35, 380, 15};        // (50, 35)-(430, 50)
inline constexpr QRect kInputLine2Rect{50, 50, 380, 15};        // (50, 50)-(430, 65)
// Corner radius of the Ref lamp (a 5 x 5 corner ellipse).
inline constexpr double kRefLampRadius = 2.5;

// Font sizes n of the -(LOGPIXELSY x n / 96) heights.
inline constexpr int kInfoTextSize = 16;
inline constexpr int kStatusTextSize = 13;

inline constexpr QColor kAlertColor{255, 0, 0};
inline constexpr QColor kMessageColor{255, 255, 0};
inline constexpr QColor kInfoGreyColor{210, 210, 210};
inline constexpr QColor kRefLampOnColor{0, 255, 0};
inline constexpr QColor kRefLampOffColor{255, 0, 0};

enum class InfoView { Alert, Message, Keyframe, Status, None };

// What the panel shows: an alert beats a message, a message beats the keyframe view (effect
// menu current), which beats the status view (when enabled).
InfoView ChooseInfoView(const std::string& alert, const std::string& message, int32_t currentMenu,
                        bool showStatus);

// "Screen Color:  R = 10%   G = ..." with "   Ref:" appended when the lamp follows it.
std::string ScreenColorText(const std::array<int32_t, 4>& percent, bool withRef);
std::string KeyframeText(uint32_t currentKeyframe, uint32_t keyframeCount);
// The two lines of a group-A unit: its FG/matte and BG/reference input numbers.
std::array<std::string, 2> InputNumberLines(int fgInput, int matteInput, int bgInput,
                                            int referenceInput);
// The two lines of any other unit: the labels of its four input switches.
std::array<std::string, 2> InputNameLines(const std::string& fg, const std::string& matte1,
                                          const std::string& bg, const std::string& matte2);

// The label of state `value` of a switch whose name holds its comma-separated fields, the
// first of which names the switch. State 0 is a single blank. A value beyond the last field
// keeps the last field there is. At most kStateLabelMax characters.
std::string SwitchStateLabel(const std::string& name, unsigned value);
// The same for a menu item word: a switch id reads that switch in g_menuDatabase; anything
// that is not a switch id gives a single blank.
std::string ItemStateLabel(uint16_t itemWord);

// Texts arrive in Latin-1 and may break lines with CR LF, LF or CR; Qt breaks at LF only.
QString InfoDisplayText(const std::string& text);

// Everything one paint draws over the bitmap.
struct InfoLine {
    QRect rect;
    Qt::Alignment alignment;
    QString text;
};
struct InfoOverlay {
    InfoView view = InfoView::None;
    int fontSize = 0;  // n of the font height; 0 when nothing is drawn
    QColor color;
    std::vector<InfoLine> lines;
    bool refLamp = false;  // the Ref lamp is drawn
    QColor refLampColor;
};

struct InfoPanelContent {
    std::string alert;
    std::string message;
    int32_t currentMenu = -1;  // of the selected unit
    bool showStatus = true;
    std::array<int32_t, 4> screenColor{};
    bool refLampLit = true;
};

// The overlay for that content, reading the selected unit's identity, the menu database and
// the current effect from the panel state.
InfoOverlay BuildInfoOverlay(const InfoPanelContent& content);

class CInfoPanel : public QWidget {
    Q_OBJECT
public:
    explicit CInfoPanel(QWidget* parent = nullptr);

    // Places the panel with its top-left corner at (x, y) of the parent and starts it afresh.
    // currentMenus is the main panel's per-unit current menu (index = unit number 0..4).
    void Create(int x, int y, const int32_t* currentMenus, bool showStatus);

    // Both repaint before they return, so a text shown before a long link operation is on
    // screen during it. Setting one line clears the other; an unchanged text does nothing.
    void ShowMessage(const std::string& text);
    void ShowAlert(const std::string& text);

    void SetScreenColor(int32_t r, int32_t g, int32_t b, int32_t m);
    // The unit's flags byte; the Ref lamp follows kRefLampFlag.
    void SetStatusFlags(uint32_t flags);

    // The selected unit's menu changed: the panel is painted again when that changes what it
    // shows (the keyframe view belongs to the Effect Menu alone).
    void MenuChanged();

    // The content the next paint is made from.
    InfoPanelContent Content() const;

    const std::string& Message() const { return m_strMessage; }
    const std::string& Alert() const { return m_strAlert; }
    bool RefLampLit() const { return m_bRefLamp; }
    // Paint events handled and invalidations asked for, so that a caller can tell that an
    // unchanged text or flag left the screen alone.
    int PaintCount() const { return m_paintCount; }
    int InvalidationCount() const { return m_invalidations; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Invalidate();
    void RepaintNow();

    std::string m_strMessage;
    std::string m_strAlert;
    std::array<int32_t, 4> m_nScreenColor{};
    const int32_t* m_pCurrentMenus = nullptr;
    bool m_bShowStatus = true;
    bool m_bRefLamp = true;
    QPixmap m_bitmap;
    int m_paintCount = 0;
    int m_invalidations = 0;
    InfoView m_paintedView = InfoView::None;
};
