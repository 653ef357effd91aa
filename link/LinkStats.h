#pragma once

// What the link has seen, per Main Unit and for the control surface: exchanges, answers and
// each kind of failure, the menu downloads and their time, and the last failure with its time.
// Kept in fixed storage and counted on the link path itself, so nothing there allocates.

#include <array>
#include <cstdint>
#include <string>

#include "link/EppLink.h"

// The kinds of failure the link tells apart.
enum class LinkFailure : uint8_t {
    None,
    NoAnswer,
    Busy,
    BadTypeOrLength,
    BadCode,
    CountBeyondData,
};

struct LinkCounters {
    uint32_t exchanges = 0;  // requests the link tried to send
    uint32_t answers = 0;    // answers that came in time
    uint32_t noAnswer = 0;
    uint32_t busy = 0;             // the far side was not ready to take the request
    uint32_t badTypeOrLength = 0;  // wrong packet type, or a length the command cannot take
    uint32_t badCode = 0;
    uint32_t countBeyondData = 0;  // the data count said more than the length carried
    uint32_t retries = 0;          // menu download attempts after the first
    uint32_t menuDownloads = 0;
    uint32_t menuDownloadMs = 0;      // all downloads together
    uint32_t lastMenuDownloadMs = 0;  // the latest one
    LinkFailure lastFailure = LinkFailure::None;
    uint32_t lastFailureTick = 0;  // the process clock's millisecond tick
};

// Slot 0 is the control surface, 1..4 the Main Units.
inline constexpr int kSurfaceSlot = 0;
inline constexpr int kLinkSlots = 5;

const LinkCounters& LinkStatsOf(int slot);
void ResetLinkStats();

// The link path: a request goes out (the slot follows from the packet's form and address).
void CountRequest(const uint8_t* packet);
// Into the slot of the latest request.
void CountAnswer();
void CountFailure(LinkFailure failure);
// Counts the failure that status stands for and hands it on.
LinkStatus CountedFailure(LinkStatus status);

// A menu download of unit 1..4 has ended after elapsedMs and that many attempts.
void CountMenuDownload(int unit, uint32_t elapsedMs, int attempts);

const char* LinkFailureName(LinkFailure failure);
// The counters of every slot as one JSON array, the surface first.
std::string LinkStatsJson();
// The counters of one slot as one line for the journal; the age of the last failure is
// counted back from nowTick.
std::string LinkStatsLine(int slot, uint32_t nowTick);
