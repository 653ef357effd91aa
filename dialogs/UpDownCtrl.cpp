#include "dialogs/UpDownCtrl.h"

#include <QKeyEvent>
#include <QTimerEvent>
#include <QToolButton>
#include <algorithm>

#include "platform/Clock.h"

namespace {

constexpr uint32_t kMsPerSecond = 1000;

}  // namespace

CUpDownCtrl::CUpDownCtrl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    m_left = new QToolButton(this);
    m_right = new QToolButton(this);
    for (auto [button, arrow, direction] :
         {std::tuple{m_left, Qt::LeftArrow, -1}, std::tuple{m_right, Qt::RightArrow, 1}}) {
        button->setArrowType(arrow);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::pressed, this, [this, d = direction] { Press(d); });
        connect(button, &QToolButton::released, this, [this] { Release(); });
    }
}

void CUpDownCtrl::SetRange(int low, int high) {
    m_low = std::min(low, high);
    m_high = std::max(low, high);
    m_pos = std::clamp(m_pos, m_low, m_high);
}

void CUpDownCtrl::SetPos(int pos) {
    m_pos = std::clamp(pos, m_low, m_high);
}

void CUpDownCtrl::SetAccel(std::vector<Accel> accel) {
    std::sort(accel.begin(), accel.end(),
              [](const Accel& a, const Accel& b) { return a.seconds < b.seconds; });
    if (!accel.empty()) m_accel = std::move(accel);
}

void CUpDownCtrl::Hold(int direction) {
    m_direction = direction < 0 ? -1 : 1;
    m_pressedAt = TheClock().TickMs();
}

void CUpDownCtrl::Press(int direction) {
    Hold(direction);
    m_repeat.start(kRepeatDelayMs, this);
    Move(m_direction);
}

void CUpDownCtrl::Release() {
    ReleaseCapture();
}

void CUpDownCtrl::ReleaseCapture() {
    m_direction = 0;
    m_repeat.stop();
}

void CUpDownCtrl::OnRepeat() {
    if (!m_direction) return;
    m_repeat.start(kRepeatIntervalMs, this);
    Move(m_direction);
}

int CUpDownCtrl::StepNow() const {
    const uint32_t held = TheClock().TickMs() - m_pressedAt;
    int step = m_accel.front().step;
    for (const Accel& a : m_accel)
        if (held >= static_cast<uint32_t>(a.seconds) * kMsPerSecond) step = a.step;
    return step;
}

void CUpDownCtrl::Move(int direction) {
    const int delta = direction * StepNow();
    if (aboutToMove && !aboutToMove(m_pos, delta)) return;
    m_pos = std::clamp(m_pos + delta, m_low, m_high);
}

void CUpDownCtrl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const int direction = key == Qt::Key_Right || key == Qt::Key_Up    ? 1
                          : key == Qt::Key_Left || key == Qt::Key_Down ? -1
                                                                       : 0;
    if (!direction) return QWidget::keyPressEvent(event);
    // A held key repeats by itself; its first press starts the held time, and a press ended
    // at a limit stays ended until the key is pressed again.
    if (!event->isAutoRepeat()) Hold(direction);
    if (m_direction == direction) Move(direction);
    event->accept();
}

void CUpDownCtrl::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) ReleaseCapture();
    QWidget::keyReleaseEvent(event);
}

void CUpDownCtrl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    m_left->setGeometry(0, 0, half, height());
    m_right->setGeometry(half, 0, width() - half, height());
}

void CUpDownCtrl::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_repeat.timerId()) return OnRepeat();
    QWidget::timerEvent(event);
}
