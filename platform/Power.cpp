#include "platform/Power.h"

#include <QProcess>

void SystemPower::PowerOff() {
    if (m_kiosk) QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
    if (m_endProgram) m_endProgram(1);
}

namespace {

class NoPower final : public Power {
public:
    void PowerOff() override {}
};

NoPower g_noPower;
Power* g_power = &g_noPower;

}  // namespace

void SetPower(Power* power) {
    g_power = power ? power : &g_noPower;
}

Power& ThePower() {
    return *g_power;
}
