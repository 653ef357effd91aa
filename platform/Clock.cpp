#include "platform/Clock.h"

#include <chrono>
#include <thread>

uint32_t SteadyClock::TickMs() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

namespace {

PauseHandler* g_pauseHandler = nullptr;
// A long spin gives the application a moment this often.
constexpr uint32_t kBreathEveryMs = 10;

}  // namespace

void SetPauseHandler(PauseHandler* handler) {
    g_pauseHandler = handler;
}

void SteadyClock::Pause(uint32_t ms) {
    const uint32_t wait = ms == 0 ? 1 : ms;
    if (g_pauseHandler)
        g_pauseHandler->Pause(wait);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
}

void SteadyClock::Breathe() {
    if (!g_pauseHandler) return;
    const uint32_t now = TickMs();
    if (now - m_lastBreath < kBreathEveryMs) return;
    m_lastBreath = now;
    g_pauseHandler->Breathe();
}

void VirtualClock::Pause(uint32_t ms) {
    // A pause of zero would let a wait loop spin forever on a clock that never moves.
    const uint32_t step = ms == 0 ? 1 : ms;
    m_now += step;
    m_paused += step;
}

namespace {
SteadyClock g_steadyClock;
Clock* g_clock = &g_steadyClock;
}  // namespace

void SetClock(Clock* clock) {
    g_clock = clock ? clock : &g_steadyClock;
}

Clock& TheClock() {
    return *g_clock;
}
