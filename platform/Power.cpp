#include "platform/Power.h"

#include <QProcess>

bool SystemPower::StartDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void SystemPower::PowerOff() {
    if (m_kiosk && m_start) m_start(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
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
