#pragma once

#include <QPoint>
#include <QWidget>

class SimSurface;

// One of the surface's eight endless rotary encoders, drawn as a knob. Every movement is
// queued on the simulated surface for the panel's next status read, the way the encoder's
// counter would gather it:
// - a wheel notch, or an arrow key while the knob has the focus, is kNotchCounts (enough to
//   step a control that moves in whole steps); with Shift it is kFineCounts;
// - a drag moves kDragCountsPerPixel per pixel, up or right turning clockwise.
class CSimKnob : public QWidget {
    Q_OBJECT
public:
    static constexpr int kNotchCounts = 80;
    static constexpr int kFineCounts = 8;
    static constexpr int kDragCountsPerPixel = 3;
    // Counts per drawn turn of the knob's pointer.
    static constexpr int kCountsPerTurn = 1024;

    CSimKnob(SimSurface& surface, int index, QWidget* parent = nullptr);

    int Index() const { return m_index; }
    // Counts turned since the console opened (clockwise positive).
    long long Position() const { return m_position; }
    // Queues counts of movement, as turning the knob by hand does.
    void Turn(int counts);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRectF DialRect() const;

    SimSurface& m_surface;
    int m_index;
    long long m_position = 0;
    int m_wheelRest = 0;  // wheel angle not yet turned into whole counts, in 1/120 notch x counts
    bool m_dragging = false;
    QPoint m_lastDrag;
};
