#include "widgets/KnobDisplay.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "link/Commands.h"
#include "widgets/Resources.h"

namespace {

// A rectangle filled with colour and outlined by a one-pixel black pen on its outermost pixels.
void FillOutlined(QPainter& painter, const QRect& rect, QRgb fill) {
    if (rect.isEmpty()) return;
    painter.fillRect(rect, QColor(kKnobOutlineColor));
    const QRect inside = rect.adjusted(1, 1, -1, -1);
    if (!inside.isEmpty()) painter.fillRect(inside, QColor(fill));
}

void DrawPanel(QPainter& painter) {
    FillOutlined(painter, kKnobClientRect.ToQRect(), kKnobPanelColor);
}

void DrawBar(QPainter& painter, const BarSpan& bar) {
    if (bar.IsEmpty()) return;
    // Far outside its range a value gives a bar reaching millions of pixels past the window;
    // cut it one column outside either edge so the outline stays just as invisible.
    const int left = std::clamp(bar.left, -1, kKnobWidth + 1);
    const int right = std::clamp(bar.right, -1, kKnobWidth + 1);
    FillOutlined(painter, PanelRect{left, 0, right, kKnobHeight}.ToQRect(), kKnobBarColor);
}

void DrawTick(QPainter& painter, int x) {
    if (x < 0 || x >= kKnobWidth) return;
    painter.fillRect(QRect(x, kTickTop, 1, kTickBottom - kTickTop + 1), QColor(kKnobTickColor));
}

void DrawValueBox(QPainter& painter, const PanelRect& box) {
    if (box.IsEmpty()) return;
    painter.setPen(QPen(QColor(kKnobOutlineColor), 1));
    painter.setBrush(QColor(kKnobValueBoxColor));
    // A one-pixel pen on a Qt rectangle covers its right and bottom edge as well: one less
    // each way keeps the outline inside the box.
    const QRect rect(box.left, box.top, box.Width() - 1, box.Height() - 1);
    painter.drawRoundedRect(rect, kValueBoxCornerRadius, kValueBoxCornerRadius, Qt::AbsoluteSize);
}

void DrawText(QPainter& painter, const PanelRect& rect, int flags, QRgb colour,
              const QString& text) {
    painter.setPen(QColor(colour));
    painter.drawText(rect.ToQRect(), flags, text);
}

// The name starts at the top and may run past its rectangle; a line break starts a new line.
constexpr int kNameFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip;

}  // namespace

CKnobDisplay::CKnobDisplay(QWidget* parent)
    : CBufferedWnd(parent), m_layout(KnobLayoutFor(kKnobClientRect)) {}

void CKnobDisplay::Create(int x, int y) {
    CBufferedWnd::Create(x, y);
    m_layout = KnobLayoutFor(kKnobClientRect);
}

void CKnobDisplay::SetControl(ControlRecord* control) {
    if (control && !control->name.empty()) {
        m_pControl = control;
        m_bHasControl = true;
        show();
        m_nStepAccum = 0;
    } else {
        // The old record and whatever was gathered stay; neither is used until a named record
        // comes, and that clears the accumulator.
        m_bHasControl = false;
        hide();
    }
    Redraw();
}

bool CKnobDisplay::Adjust(int16_t delta) {
    if (!m_bHasControl) return true;
    ControlRecord& control = *m_pControl;

    if (control.attributes & kAttrLocalValue) {
        // The caller refreshes every display when this returns true.
        control.value = FrameTimeAfterMove(control.value, delta);
        return true;
    }

    if (control.attributes & (kAttrLocalStepped | kAttrSingleStep)) {
        const KnobStep gathered = GatherKnobStep(m_nStepAccum, delta);
        m_nStepAccum = gathered.accum;
        if (gathered.step == 0) return false;
        if (control.attributes & kAttrLocalStepped)
            control.value = LocalValueAfterStep(control, gathered.step);
        else
            AdjustControl(WireId(), static_cast<int16_t>(gathered.step));
        Redraw();
        return true;
    }

    // The unit's answer carries the new value into the record before the redraw.
    AdjustControl(WireId(), delta);
    Redraw();
    return true;
}

void CKnobDisplay::SendReset() {
    if (!m_bHasControl) return;
    SetControlValue(WireId(), kResetValue);
    Redraw();
}

void CKnobDisplay::SendValue() {
    if (!m_bHasControl) return;
    SetControlValue(WireId(), m_pControl->value);
    Redraw();
}

void CKnobDisplay::Draw(QPainter& painter) {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawPanel(painter);

    const int logPixelsY = painter.device() ? painter.device()->logicalDpiY() : kPanelDpi;
    if (m_bHasControl && !m_bLive) {
        DrawValueBox(painter, m_layout.valueBox);
        painter.setFont(KnobLargeFont(logPixelsY));
        DrawText(painter, m_layout.name, kNameFlags, kKnobLabelColor,
                 KnobNameText(m_pControl->name));
    } else if (m_bHasControl && (m_pControl->attributes & kAttrLocalValue)) {
        DrawTimecode(painter, logPixelsY);
    } else if (m_bHasControl) {
        const ControlRecord& control = *m_pControl;
        if (!(control.attributes & kAttrPlainNumber)) {
            DrawBar(painter, KnobBarSpan(control));
            if (const std::optional<int> tick = KnobTickX(control)) DrawTick(painter, *tick);
        }
        DrawValueBox(painter, m_layout.valueBox);

        painter.setFont(KnobSmallFont(logPixelsY));
        DrawText(painter, m_layout.minLabel, Qt::AlignLeft | Qt::AlignTop, kKnobLabelColor,
                 KnobMinLabel(control));
        DrawText(painter, m_layout.maxLabel, Qt::AlignRight | Qt::AlignTop, kKnobLabelColor,
                 KnobMaxLabel(control));
        painter.setFont(KnobLargeFont(logPixelsY));
        DrawText(painter, m_layout.name, kNameFlags, kKnobLabelColor, KnobNameText(control.name));
        painter.setFont(KnobSmallFont(logPixelsY));
        DrawText(painter, m_layout.valueText, Qt::AlignHCenter | Qt::AlignTop, kKnobValueTextColor,
                 KnobValueText(control));
    }
    painter.restore();
}

void CKnobDisplay::SetLive(bool live) {
    if (live == m_bLive) return;
    m_bLive = live;
    Redraw();
}

void CKnobDisplay::DrawTimecode(QPainter& painter, int logPixelsY) {
    const ControlRecord& control = *m_pControl;
    painter.setFont(KnobTimecodeFont(logPixelsY));
    DrawText(painter, m_layout.name, kNameFlags, kKnobLabelColor, KnobNameText(control.name));
    DrawText(painter, m_layout.timecode, Qt::AlignHCenter | Qt::AlignTop, kKnobValueTextColor,
             TimecodeText(control.value));
}

void CKnobDisplay::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    emit doubleClicked();
}
