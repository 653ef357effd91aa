#pragma once

#include <cstdint>

// The millisecond tick counter the link's waits run on. It is 32 bits wide and wraps after
// about 49.7 days, like the counter the panel was first written against.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickMs() = 0;
    // Lets up to ms milliseconds pass; a wait loop calls it until the tick it waits for has come.
    virtual void Pause(uint32_t ms) = 0;
    // Called often from a long spin on the status port: a moment in which time may be given to
    // what the machine does besides the link. No link traffic happens in it.
    virtual void Breathe() {}
};

// What the application does while the link waits, besides letting time pass: it keeps its
// windows painting and holds back whatever would start link traffic of its own. Without one,
// a pause sleeps.
class PauseHandler {
public:
    virtual ~PauseHandler() = default;
    virtual void Pause(uint32_t ms) = 0;
    virtual void Breathe() = 0;
};

// Steady clock of the machine. A pause sleeps, or runs the pause handler, rather than spins, so
// a wait costs no CPU; the order of link traffic around the wait does not change.
class SteadyClock final : public Clock {
public:
    uint32_t TickMs() override;
    void Pause(uint32_t ms) override;
    void Breathe() override;

private:
    uint32_t m_lastBreath = 0;
};

// The handler the steady clock's pauses run; nullptr to sleep again.
void SetPauseHandler(PauseHandler* handler);

// Time that moves only when code waits. Tests set it anywhere, also just below the wrap.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(uint32_t startMs = 0) : m_now(startMs) {}
    uint32_t TickMs() override { return m_now; }
    void Pause(uint32_t ms) override;
    void Set(uint32_t ms) { m_now = ms; }
    void Advance(uint32_t ms) { m_now += ms; }
    // Milliseconds that passed in pauses since construction; never wraps.
    uint64_t PausedMs() const { return m_paused; }

private:
    uint32_t m_now;
    uint64_t m_paused = 0;
};

// The process-wide clock, set once at start-up; a SteadyClock until then.
void SetClock(Clock* clock);
Clock& TheClock();
