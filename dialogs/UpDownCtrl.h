#pragma once

// A horizontal up-down control: two arrow buttons (and the arrow keys) that move a position
// within a range. A press moves once at once and then repeats while held; the step grows with
// the time held, by the accelerations set. Before every move the owner is told the position and
// the change asked for, and may end the press (a limit reached). Held time is read from the
// panel's clock, and the repeat timer only calls OnRepeat, so tests drive both.

#include <QBasicTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QToolButton;

class CUpDownCtrl : public QWidget {
public:
    // From `seconds` held on, a move is `step` positions.
    struct Accel {
        int seconds;
        int step;
    };

    static constexpr int kRepeatDelayMs = 400;
    static constexpr int kRepeatIntervalMs = 100;

    explicit CUpDownCtrl(QWidget* parent);

    void SetRange(int low, int high);
    void SetPos(int pos);
    int Pos() const { return m_pos; }
    void SetAccel(std::vector<Accel> accel);

    // Told (position, change) before each move; false leaves the position as it is.
    std::function<bool(int, int)> aboutToMove;

    // A press on the right (+1) or left (-1) arrow, and its end.
    void Press(int direction);
    void Release();
    // Ends the press at once: the auto-repeat stops until the next press.
    void ReleaseCapture();
    // The auto-repeat tick while a press is held.
    void OnRepeat();
    bool Repeating() const { return m_direction != 0; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Hold(int direction);
    void Move(int direction);
    int StepNow() const;

    QToolButton* m_left;
    QToolButton* m_right;
    QBasicTimer m_repeat;
    std::vector<Accel> m_accel{{0, 1}};
    int m_low = 0;
    int m_high = 100;
    int m_pos = 0;
    int m_direction = 0;  // of the press held; 0 = none
    uint32_t m_pressedAt = 0;
};
