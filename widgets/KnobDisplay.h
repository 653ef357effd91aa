#pragma once

#include <cstdint>

#include "link/PanelState.h"
#include "widgets/BufferedWnd.h"
#include "widgets/KnobGeometry.h"

class QMouseEvent;

// One of the eight parameter displays beside the panel's knobs. It shows the control assigned
// to its knob (name, bar, tick at the second value, range and value, or a timecode) and turns
// the knob's movement into adjustments: sent to the Main Unit, applied to the record locally,
// or gathered into whole steps first. It never owns the record it shows.
class CKnobDisplay : public CBufferedWnd {
    Q_OBJECT
public:
    explicit CKnobDisplay(QWidget* parent = nullptr);

    // Places the display at (x, y) in the main panel and sets up its layout.
    void Create(int x, int y);

    // Shows record, or hides the display when it has no name (or there is none).
    void SetControl(ControlRecord* control);

    // Applies one knob movement. True when the control changed or something was sent, so the
    // caller refreshes the panel; false when the movement was only gathered.
    bool Adjust(int16_t delta);

    // Asks the unit to put the control back to its reset value.
    void SendReset();
    // Sends the record's current value to the unit.
    void SendValue();

    // A display whose unit is lost holds no live value: it keeps the control's name and shows
    // no bar, range or value until the unit is back.
    void SetLive(bool live);
    bool Live() const { return m_bLive; }

    void Draw(QPainter& painter) override;

    bool HasControl() const { return m_bHasControl; }
    // The record shown, or nullptr without one.
    ControlRecord* Control() const { return m_bHasControl ? m_pControl : nullptr; }
    int StepAccum() const { return m_nStepAccum; }
    const KnobLayout& Layout() const { return m_layout; }

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DrawTimecode(QPainter& painter, int logPixelsY);
    uint8_t WireId() const { return static_cast<uint8_t>(m_pControl->id & 0xFF); }

    ControlRecord* m_pControl = nullptr;
    bool m_bHasControl = false;
    bool m_bLive = true;
    int m_nStepAccum = 0;
    KnobLayout m_layout;
};
