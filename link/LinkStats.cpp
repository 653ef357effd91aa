#include "link/LinkStats.h"

#include <cstdio>

#include "link/PanelState.h"
#include "platform/Clock.h"

namespace {

std::array<LinkCounters, kLinkSlots> g_stats;
// The slot of the request on the line; its answer and the checks on it count there.
LinkCounters* g_current = &g_stats[kSurfaceSlot];

}  // namespace

const LinkCounters& LinkStatsOf(int slot) {
    return g_stats[slot >= 0 && slot < kLinkSlots ? slot : kSurfaceSlot];
}

void ResetLinkStats() {
    g_stats = {};
    g_current = &g_stats[kSurfaceSlot];
}

void CountRequest(const uint8_t* packet) {
    int slot = kSurfaceSlot;
    if (packet[0] == kLongRequest) {
        // An address beyond the four units is counted with the surface rather than nowhere.
        const int unit = UnitNumber(static_cast<UnitAddress>(packet[2] - kAddressOffset));
        if (unit >= 1 && unit < kLinkSlots) slot = unit;
    }
    g_current = &g_stats[slot];
    ++g_current->exchanges;
}

void CountAnswer() {
    ++g_current->answers;
}

void CountFailure(LinkFailure failure) {
    LinkCounters& c = *g_current;
    switch (failure) {
        case LinkFailure::NoAnswer:
            ++c.noAnswer;
            break;
        case LinkFailure::Busy:
            ++c.busy;
            break;
        case LinkFailure::BadTypeOrLength:
            ++c.badTypeOrLength;
            break;
        case LinkFailure::BadCode:
            ++c.badCode;
            break;
        case LinkFailure::CountBeyondData:
            ++c.countBeyondData;
            break;
        case LinkFailure::None:
            return;
    }
    c.lastFailure = failure;
    c.lastFailureTick = TheClock().TickMs();
}

LinkStatus CountedFailure(LinkStatus status) {
    switch (status) {
        case kLinkNoResponse:
            CountFailure(LinkFailure::NoAnswer);
            break;
        case kLinkBusy:
            CountFailure(LinkFailure::Busy);
            break;
        case kLinkBadLength:
        case kLinkBadType:
            CountFailure(LinkFailure::BadTypeOrLength);
            break;
        case kLinkBadCode:
            CountFailure(LinkFailure::BadCode);
            break;
        default:
            break;
    }
    return status;
}

void CountMenuDownload(int unit, uint32_t elapsedMs, int attempts) {
    LinkCounters& c = g_stats[unit >= 1 && unit < kLinkSlots ? unit : kSurfaceSlot];
    ++c.menuDownloads;
    c.menuDownloadMs += elapsedMs;
    c.lastMenuDownloadMs = elapsedMs;
    if (attempts > 1) c.retries += static_cast<uint32_t>(attempts - 1);
}

const char* LinkFailureName(LinkFailure failure) {
    switch (failure) {
        case LinkFailure::NoAnswer:
            return "no answer";
        case LinkFailure::Busy:
            return "busy";
        case LinkFailure::BadTypeOrLength:
            return "wrong type or length";
        case LinkFailure::BadCode:
            return "wrong code";
        case LinkFailure::CountBeyondData:
            return "count beyond data";
        case LinkFailure::None:
            break;
    }
    return "none";
}

std::string LinkStatsJson() {
    std::string out = "[";
    for (int slot = 0; slot < kLinkSlots; ++slot) {
        const LinkCounters& c = g_stats[slot];
        auto field = [&out](const char* name, uint32_t value) {
            out += ",\"";
            out += name;
            out += "\":";
            out += std::to_string(value);
        };
        if (slot > 0) out += ",";
        out += slot == kSurfaceSlot ? "{\"slot\":\"surface\""
                                    : "{\"slot\":\"unit " + std::to_string(slot) + "\"";
        field("exchanges", c.exchanges);
        field("answers", c.answers);
        field("noAnswer", c.noAnswer);
        field("busy", c.busy);
        field("badTypeOrLength", c.badTypeOrLength);
        field("badCode", c.badCode);
        field("countBeyondData", c.countBeyondData);
        field("retries", c.retries);
        field("menuDownloads", c.menuDownloads);
        field("menuDownloadMs", c.menuDownloadMs);
        field("lastMenuDownloadMs", c.lastMenuDownloadMs);
        out += ",\"lastFailure\":\"";
        out += LinkFailureName(c.lastFailure);
        out += "\"";
        field("lastFailureTick", c.lastFailureTick);
        out += "}";
    }
    return out + "]";
}

std::string LinkStatsLine(int slot, uint32_t nowTick) {
    if (slot < 0 || slot >= kLinkSlots) return {};
    const LinkCounters& c = g_stats[slot];
    const std::string name =
        slot == kSurfaceSlot ? "the control surface" : "Main Unit " + std::to_string(slot);
    char line[400];
    int used = std::snprintf(
        line, sizeof line,
        "link of %s: %u exchanges, %u answers, %u no answer, %u busy, %u wrong type or length, "
        "%u wrong code, %u count beyond data; menu downloads: %u in %u ms, %u retries; ",
        name.c_str(), c.exchanges, c.answers, c.noAnswer, c.busy, c.badTypeOrLength, c.badCode,
        c.countBeyondData, c.menuDownloads, c.menuDownloadMs, c.retries);
    if (c.lastFailure == LinkFailure::None)
        std::snprintf(line + used, sizeof line - used, "no failure");
    else
        std::snprintf(line + used, sizeof line - used, "last failure %s %u s ago",
                      LinkFailureName(c.lastFailure), (nowTick - c.lastFailureTick) / 1000);
    return line;
}
