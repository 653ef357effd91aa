#include "widgets/InfoPanel.h"

#include <QPainter>

#include <algorithm>
#include <cstdio>

#include "link/PanelState.h"
#include "widgets/Resources.h"

namespace {

constexpr int kNormalWeight = 400;

std::string Format(const char* format, auto... args) {
    char buffer[256];
    const int length = std::snprintf(buffer, sizeof buffer, format, args...);
    if (length <= 0) return {};
    return std::string(buffer, std::min<size_t>(static_cast<size_t>(length), sizeof buffer - 1));
}

constexpr Qt::Alignment kCentre = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;
constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignTop;

}  // namespace

InfoView ChooseInfoView(const std::string& alert, const std::string& message, int32_t currentMenu,
                        bool showStatus) {
    if (!alert.empty()) return InfoView::Alert;
    if (!message.empty()) return InfoView::Message;
    if (currentMenu == kEffectMenu) return InfoView::Keyframe;
    if (showStatus) return InfoView::Status;
    return InfoView::None;
}

std::string ScreenColorText(const std::array<int32_t, 4>& percent, bool withRef) {
    return Format(withRef ? "Screen Color:  R = %d%%   G = %d%%   B = %d%%   M = %d%%   Ref:"
                          : "Screen Color:  R = %d%%   G = %d%%   B = %d%%   M = %d%%",
                  percent[0], percent[1], percent[2], percent[3]);
}

std::string KeyframeText(uint32_t currentKeyframe, uint32_t keyframeCount) {
    return Format("Keyframe %d of %d", static_cast<int32_t>(currentKeyframe),
                  static_cast<int32_t>(keyframeCount));
}

std::array<std::string, 2> InputNumberLines(int fgInput, int matteInput, int bgInput,
                                            int referenceInput) {
    return {Format("               FG Input: %-15d  Matte Input: %d", fgInput, matteInput),
            Format("               BG Input: %-15d  Reference Input: %d", bgInput, referenceInput)};
}

std::array<std::string, 2> InputNameLines(const std::string& fg, const std::string& matte1,
                                          const std::string& bg, const std::string& matte2) {
    return {Format("                  FG: %-15s  Matte 1: %-15s", fg.c_str(), matte1.c_str()),
            Format("                  BG: %-15s  Matte 2: %-15s", bg.c_str(), matte2.c_str())};
}

std::string SwitchStateLabel(const std::string& name, unsigned value) {
    std::string label = " ";
    // The first field names the switch; each state takes the next one.
    size_t next = name.find(',');
    for (unsigned state = 0; state < value && next != std::string::npos; ++state) {
        const size_t start = next + 1;
        next = name.find(',', start);
        label = name.substr(start, next == std::string::npos ? std::string::npos : next - start);
    }
    if (label.size() > kStateLabelMax) label.resize(kStateLabelMax);
    return label;
}

std::string ItemStateLabel(uint16_t itemWord) {
    if (itemWord < kFirstSwitchId) return " ";
    const size_t index = itemWord - kFirstSwitchId;
    if (index >= g_menuDatabase.switches.size()) return " ";
    const SwitchRecord& record = g_menuDatabase.switches[index];
    return SwitchStateLabel(record.name, record.value);
}

QString InfoDisplayText(const std::string& text) {
    QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

InfoOverlay BuildInfoOverlay(const InfoPanelContent& content) {
    InfoOverlay overlay;
    overlay.view =
        ChooseInfoView(content.alert, content.message, content.currentMenu, content.showStatus);
    switch (overlay.view) {
        case InfoView::Alert:
            overlay.fontSize = kInfoTextSize;
            overlay.color = kAlertColor;
            overlay.lines.push_back({kAlertRect, kCentre, InfoDisplayText(content.alert)});
            break;
        case InfoView::Message:
            overlay.fontSize = kInfoTextSize;
            overlay.color = kMessageColor;
            overlay.lines.push_back({kMessageRect, kCentre, InfoDisplayText(content.message)});
            break;
        case InfoView::Keyframe: {
            overlay.fontSize = kInfoTextSize;
            overlay.color = kInfoGreyColor;
            // An effect number the unit sent beyond the table reads as an empty effect.
            uint32_t current = 0;
            uint32_t count = 0;
            if (g_currentEffect < g_effects.size()) {
                current = g_effects[g_currentEffect].currentKeyframe;
                count = g_effects[g_currentEffect].keyframeCount;
            }
            overlay.lines.push_back(
                {kKeyframeRect, kCentre, QString::fromLatin1(KeyframeText(current, count))});
            break;
        }
        case InfoView::Status: {
            overlay.fontSize = kStatusTextSize;
            overlay.color = kInfoGreyColor;
            const uint8_t model = g_unitIdentity.ModelCode;
            const bool groupA = IsModelGroupA(model);
            if (groupA) {
                overlay.lines.push_back(
                    {kColorLineCentredRect, kCentre,
                     QString::fromLatin1(ScreenColorText(content.screenColor, false))});
            } else {
                overlay.lines.push_back(
                    {kColorLineRefRect, kRight,
                     QString::fromLatin1(ScreenColorText(content.screenColor, true))});
                overlay.refLamp = true;
                overlay.refLampColor = content.refLampLit ? kRefLampOnColor : kRefLampOffColor;
            }
            if (model == kModelElm) break;
            std::array<std::string, 2> lines;
            if (groupA) {
                const auto& controls = g_menuDatabase.controls;
                lines = InputNumberLines(
                    controls[kControlFgInput].value, controls[kControlMatteInput].value,
                    controls[kControlBgInput].value, controls[kControlReferenceInput].value);
            } else {
                const auto& items = g_menuDatabase.menus[kInputMenu].items;
                lines = InputNameLines(
                    ItemStateLabel(items[kInputItemFg]), ItemStateLabel(items[kInputItemMatte1]),
                    ItemStateLabel(items[kInputItemBg]), ItemStateLabel(items[kInputItemMatte2]));
            }
            overlay.lines.push_back({kInputLine1Rect, kLeft, QString::fromLatin1(lines[0])});
            overlay.lines.push_back({kInputLine2Rect, kLeft, QString::fromLatin1(lines[1])});
            break;
        }
        case InfoView::None:
            break;
    }
    return overlay;
}

CInfoPanel::CInfoPanel(QWidget* parent) : QWidget(parent) {
    setFixedSize(kInfoPanelWidth, kInfoPanelHeight);
    m_bitmap = LoadBitmapResource(kInfoPanelBitmap);
}

void CInfoPanel::Create(int x, int y, const int32_t* currentMenus, bool showStatus) {
    m_strMessage.clear();
    m_strAlert.clear();
    m_nScreenColor = {};
    m_pCurrentMenus = currentMenus;
    m_bShowStatus = showStatus;
    m_bRefLamp = true;
    move(x, y);
    Invalidate();
}

void CInfoPanel::ShowMessage(const std::string& text) {
    if (text == m_strMessage) return;
    m_strMessage = text;
    m_strAlert.clear();
    RepaintNow();
}

void CInfoPanel::ShowAlert(const std::string& text) {
    if (text == m_strAlert) return;
    m_strAlert = text;
    m_strMessage.clear();
    RepaintNow();
}

void CInfoPanel::SetScreenColor(int32_t r, int32_t g, int32_t b, int32_t m) {
    m_nScreenColor = {r, g, b, m};
    Invalidate();
}

void CInfoPanel::SetStatusFlags(uint32_t flags) {
    const bool lit = (flags & kRefLampFlag) != 0;
    if (lit == m_bRefLamp) return;
    m_bRefLamp = lit;
    Invalidate();
}

void CInfoPanel::MenuChanged() {
    const InfoPanelContent c = Content();
    if (ChooseInfoView(c.alert, c.message, c.currentMenu, c.showStatus) != m_paintedView)
        Invalidate();
}

InfoPanelContent CInfoPanel::Content() const {
    InfoPanelContent content;
    content.alert = m_strAlert;
    content.message = m_strMessage;
    // The menus are kept per unit number; a selected unit outside 0..4 has no menu shown.
    const int unit = UnitNumber(g_selectedUnit);
    content.currentMenu = m_pCurrentMenus && unit < kUnitSlots ? m_pCurrentMenus[unit] : -1;
    content.showStatus = m_bShowStatus;
    content.screenColor = m_nScreenColor;
    content.refLampLit = m_bRefLamp;
    return content;
}

void CInfoPanel::Invalidate() {
    ++m_invalidations;
    update();
}

void CInfoPanel::RepaintNow() {
    ++m_invalidations;
    repaint();
}

void CInfoPanel::paintEvent(QPaintEvent*) {
    ++m_paintCount;
    QPainter painter(this);
    // Without its bitmap the panel still shows its texts over whatever lies beneath.
    if (!m_bitmap.isNull()) painter.drawPixmap(0, 0, m_bitmap);

    const InfoOverlay overlay = BuildInfoOverlay(Content());
    m_paintedView = overlay.view;
    if (overlay.fontSize == 0) return;
    painter.setFont(PanelFont(FontPixelHeight(logicalDpiY(), overlay.fontSize), kNormalWeight));
    painter.setPen(overlay.color);
    // Each line is clipped to its box, as the standard text call draws it.
    for (const InfoLine& line : overlay.lines)
        painter.drawText(line.rect, static_cast<int>(line.alignment), line.text);
    if (overlay.refLamp) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(overlay.refLampColor);
        // An outline of one pixel inside the lamp's rectangle.
        painter.drawRoundedRect(kRefLampRect.adjusted(0, 0, -1, -1), kRefLampRadius,
                                kRefLampRadius);
    }
}
