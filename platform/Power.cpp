#include "platform/Power.h"

#include <QProcess>

#include "platform/Report.h"

namespace {
// logind answers at once; a refusal (no session, no rule for the user) comes back as well.
constexpr int kPowerOffWaitMs = 15000;
}  // namespace

bool SystemPower::RunToEnd(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(kPowerOffWaitMs)) return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void SystemPower::PowerOff() {
    if (!m_kiosk) {
        ReportLine("not a kiosk (no --kiosk): the PC stays on; ending with status 1");
    } else {
        // Without root this goes through logind, which the kiosk session's user may ask.
        ReportLine("powering the panel PC off (systemctl poweroff)");
        if (!m_start || !m_start(QStringLiteral("systemctl"), {QStringLiteral("poweroff")}))
            ReportLine("the power-off failed (systemctl poweroff); ending with status 1");
    }
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
