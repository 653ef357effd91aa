// On-air lockout: the two lock tables and locking one control or switch.

#include <cstring>

#include "link/CommandCore.h"

namespace {

constexpr uint8_t kRespLockTable = 2;

LinkStatus ReadLockTable(const Request& request, std::array<uint8_t, kLockEntries>& table) {
    ResponseBuffer rx;
    if (LinkStatus status = SimpleExchange(request, rx, kSpinNormal, kRespLockTable)) return status;
    std::memcpy(table.data(), Data(rx), kLockEntries);
    return kLinkOk;
}

}  // namespace

LinkStatus ReadLockTables() {
    const Request request = LongRequest(g_selectedUnit, kCmdLockTables, {});
    // Model 4 sends the switch table first.
    const bool swapped = g_unitIdentity.ModelCode == kModelElm;
    if (LinkStatus status = ReadLockTable(request, swapped ? g_switchLocks : g_controlLocks))
        return status;
    return ReadLockTable(request, swapped ? g_controlLocks : g_switchLocks);
}

LinkStatus SetLock(uint8_t id, uint8_t state) {
    ResponseBuffer rx;
    return SimpleExchange(LongRequest(g_selectedUnit, kCmdSetLock, {id, state}), rx, kSpinNormal,
                          kRespOpening);
}
