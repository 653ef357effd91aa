#include "sim/console/SimKnob.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "sim/SimSurface.h"
#include "sim/console/ConsoleLook.h"

namespace {

constexpr int kWheelNotch = 120;  // angle delta of one wheel notch (eighths of a degree)
constexpr int kPageNotches = 4;
constexpr int kDialSize = 62;
constexpr int kCaptionHeight = 18;

}  // namespace

CSimKnob::CSimKnob(SimSurface& surface, int index, QWidget* parent)
    : QWidget(parent), m_surface(surface), m_index(index) {
    setFocusPolicy(Qt::WheelFocus);
    setCursor(Qt::SizeVerCursor);
    setObjectName(QStringLiteral("knob%1").arg(index + 1));
    setToolTip(QStringLiteral("Knob %1: drag up or right, turn the wheel, or use the arrow keys "
                              "when focused (Shift: fine)")
                   .arg(index + 1));
    setAccessibleName(QStringLiteral("Knob %1").arg(index + 1));
}

QSize CSimKnob::sizeHint() const {
    return {kDialSize + 16, kDialSize + kCaptionHeight + 6};
}

void CSimKnob::Turn(int counts) {
    if (counts == 0) return;
    m_surface.TurnKnob(m_index, counts);
    m_position += counts;
    update();
}

QRectF CSimKnob::DialRect() const {
    const qreal side = std::min<qreal>(width() - 8, height() - kCaptionHeight - 6);
    return {(width() - side) / 2.0, 3.0, side, side};
}

void CSimKnob::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF dial = DialRect();
    const QPointF centre = dial.center();
    const qreal radius = dial.width() / 2.0;

    // Skirt, cap, and the focus ring in the panel's green.
    QRadialGradient skirt(centre, radius);
    skirt.setColorAt(0.0, QColor(70, 73, 78));
    skirt.setColorAt(1.0, QColor(28, 29, 31));
    p.setPen(hasFocus() ? QPen(kConsoleAccent, 2.0) : QPen(QColor(15, 15, 16), 1.0));
    p.setBrush(skirt);
    p.drawEllipse(dial.adjusted(1, 1, -1, -1));

    const qreal cap = radius * 0.72;
    QLinearGradient capShade(centre - QPointF(cap, cap), centre + QPointF(cap, cap));
    capShade.setColorAt(0.0, QColor(104, 108, 114));
    capShade.setColorAt(1.0, QColor(44, 46, 50));
    p.setPen(QPen(QColor(20, 20, 22), 1.0));
    p.setBrush(capShade);
    p.drawEllipse(centre, cap, cap);

    // Grip ridges around the skirt, turning with the knob.
    const double turned =
        2.0 * std::numbers::pi * static_cast<double>(m_position % kCountsPerTurn) / kCountsPerTurn;
    p.setPen(QPen(QColor(18, 18, 20), 1.2));
    for (int r = 0; r < 24; ++r) {
        const double a = turned + r * 2.0 * std::numbers::pi / 24;
        const QPointF dir(std::sin(a), -std::cos(a));
        p.drawLine(centre + dir * (cap + 1.5), centre + dir * (radius - 2.5));
    }
    // The pointer.
    const QPointF dir(std::sin(turned), -std::cos(turned));
    p.setPen(QPen(kConsoleAccent, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + dir * (cap * 0.25), centre + dir * (cap - 3.0));

    p.setPen(kConsoleText);
    p.drawText(QRectF(0, dial.bottom() + 2, width(), kCaptionHeight), Qt::AlignCenter,
               QStringLiteral("Knob %1").arg(m_index + 1));
}

void CSimKnob::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    const int perNotch = (event->modifiers() & Qt::ShiftModifier) ? kFineCounts : kNotchCounts;
    // High-resolution wheels send parts of a notch: keep the remainder for the next event.
    m_wheelRest += delta * perNotch;
    const int counts = m_wheelRest / kWheelNotch;
    m_wheelRest -= counts * kWheelNotch;
    Turn(counts);
    event->accept();
}

void CSimKnob::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    m_lastDrag = event->position().toPoint();
    event->accept();
}

void CSimKnob::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    const QPoint moved = at - m_lastDrag;
    m_lastDrag = at;
    Turn((moved.x() - moved.y()) * kDragCountsPerPixel);
    event->accept();
}

void CSimKnob::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CSimKnob::keyPressEvent(QKeyEvent* event) {
    const int unit = (event->modifiers() & Qt::ShiftModifier) ? kFineCounts : kNotchCounts;
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            Turn(unit);
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            Turn(-unit);
            break;
        case Qt::Key_PageUp:
            Turn(kPageNotches * unit);
            break;
        case Qt::Key_PageDown:
            Turn(-kPageNotches * unit);
            break;
        default:
            return QWidget::keyPressEvent(event);
    }
    event->accept();
}
