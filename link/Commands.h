#pragma once

// Every conversation with a Main Unit or with the panel's own hardware. Each function builds
// its request, sends it, receives and checks the answer in a fixed order, writes what the
// answer carries into the panel state (or the caller's buffer), and returns the LinkStatus of
// the first step that failed, or 0. Tables written by earlier steps stay written. No other
// code builds packets. Long-form commands go to g_selectedUnit unless they take an address.

#include <array>
#include <cstdint>
#include <string>

#include "link/EppLink.h"
#include "link/PanelState.h"

using ResponseBuffer = std::array<uint8_t, kResponseSize>;

// ---- Codes on the wire -----------------------------------------------------------------------

// Short-form commands to the panel hardware.
inline constexpr uint8_t kCmdPanelStatus = 3;
inline constexpr uint8_t kCmdPanelLamps = 4;
inline constexpr uint8_t kCmdPanelConfigure = 5;
inline constexpr uint8_t kCmdLinkReset = 6;
inline constexpr uint8_t kCmdPanelVersion = 10;

inline constexpr int kLampCount = 12;
inline constexpr int kPanelStatusLength = 25;
inline constexpr int kPanelVersionLength = 7;
inline constexpr int kPanelAckLength = 2;
inline constexpr int kPanelVersionChars = 5;

// Long-form commands to a Main Unit.
inline constexpr uint8_t kCmdAdjustControl = 129;
inline constexpr uint8_t kCmdFileDataRead = 142;
inline constexpr uint8_t kCmdFileDataChunk = 143;
inline constexpr uint8_t kCmdFileDataWrite = 145;
inline constexpr uint8_t kCmdFileDataOpen = 146;
inline constexpr uint8_t kCmdLoadFile = 147;
inline constexpr uint8_t kCmdLoadFileWithMenus = 153;
inline constexpr uint8_t kCmdReply = 158;
inline constexpr uint8_t kCmdSelectEffect = 165;
inline constexpr uint8_t kCmdSetValue = 168;
inline constexpr uint8_t kCmdUnitInfo = 171;
inline constexpr uint8_t kCmdValues = 172;
inline constexpr uint8_t kCmdValues2 = 173;
inline constexpr uint8_t kCmdValuesRest = 174;
inline constexpr uint8_t kCmdValues2Rest = 175;
inline constexpr uint8_t kCmdEffect = 176;
inline constexpr uint8_t kCmdGpiSequence = 179;
inline constexpr uint8_t kCmdGpiEvent = 180;
inline constexpr uint8_t kCmdUnitText = 181;
inline constexpr uint8_t kCmdTitle = 182;
inline constexpr uint8_t kCmdSetLock = 184;
inline constexpr uint8_t kCmdLockTables = 185;
inline constexpr uint8_t kCmdGpiListOpen = 188;
inline constexpr uint8_t kCmdGpiListMore = 189;
inline constexpr uint8_t kCmdDeleteFile = 190;
inline constexpr uint8_t kCmdDeleteUserFile = 191;
inline constexpr uint8_t kCmdIdentify = 192;
inline constexpr uint8_t kCmdMenuBlob = 193;
inline constexpr uint8_t kCmdFileListOpen = 194;
inline constexpr uint8_t kCmdUserFileListOpen = 195;
inline constexpr uint8_t kCmdEffectListOpen = 196;
inline constexpr uint8_t kCmdMenuReady = 197;
inline constexpr uint8_t kCmdFileListMore = 198;
inline constexpr uint8_t kCmdUserFileListMore = 199;
inline constexpr uint8_t kCmdEffectListMore = 200;
inline constexpr uint8_t kCmdSaveFile = 204;
inline constexpr uint8_t kCmdSaveFileWithMenus = 205;

// Response codes the panel checks.
inline constexpr uint8_t kRespOpening = 0;
inline constexpr uint8_t kRespValuesFull = 2;
inline constexpr uint8_t kRespValues2 = 3;
inline constexpr uint8_t kRespValueUpdates = 4;
inline constexpr uint8_t kRespReply = 5;
inline constexpr uint8_t kRespFileDataMore = 24;
inline constexpr uint8_t kRespFileDataLast = 25;
inline constexpr uint8_t kRespFileDone = 27;
inline constexpr uint8_t kRespFileLoaded = 29;
inline constexpr uint8_t kRespUnitText = '!';
inline constexpr uint8_t kRespUserFileDeleted = '"';
inline constexpr uint8_t kRespLoadedWithMenus = '$';
inline constexpr uint8_t kRespValuesRest = '%';
inline constexpr uint8_t kRespValues2Rest = '&';
inline constexpr uint8_t kRespEffectSelected = '5';
inline constexpr uint8_t kRespIdentify = '@';
inline constexpr uint8_t kRespMenuBlobLast = 'B';
inline constexpr uint8_t kRespFileListMore = 'C';
inline constexpr uint8_t kRespFileListLast = 'D';
inline constexpr uint8_t kRespUserFileListMore = 'E';
inline constexpr uint8_t kRespUserFileListLast = 'F';
inline constexpr uint8_t kRespEffectListMore = 'G';
inline constexpr uint8_t kRespEffectListLast = 'H';
inline constexpr uint8_t kRespGpiListMore = 'I';
inline constexpr uint8_t kRespGpiListLast = 'J';
inline constexpr uint8_t kRespEffect = 0x5C;
inline constexpr uint8_t kRespGpiDetail = '_';

// Answer lengths (low byte of L) that a set-value answer may have.
inline constexpr std::array<uint8_t, 5> kSetValueLengths = {10, 13, 16, 19, 25};
inline constexpr uint8_t kMenuReadyLength = 7;

// Value of a control that asks the unit for the control's reset value.
inline constexpr int16_t kResetValue = 32767;

// Lock states for SetLock.
inline constexpr uint8_t kLock = 1;
inline constexpr uint8_t kUnlock = 2;

// GPI sequence modes.
inline constexpr uint8_t kGpiReadDetail = 2;
inline constexpr uint8_t kGpiReset = 3;
inline constexpr uint8_t kGpiStep = 4;

// Bounds of what a unit may make the panel do.
inline constexpr int kMaxGpiDetailAnswers = 64;  // answers before '_' ends a detail read
inline constexpr int kMaxFileNameChars = 23;     // the name field holds 23 characters and a zero
inline constexpr int kFileChunkSize = 250;
// The length byte counts every byte of a request: 0x08, length, address, N, code, the
// parameters and 0xFF, or for a relayed frame its bytes 1 .. n + 2 after the first three.
inline constexpr int kMaxRequestParams = 249;
inline constexpr int kMaxPassThroughData = 250;
inline constexpr int kUnitInfoLength = 255;
inline constexpr int kCustomMenuBlockSize = 50;
inline constexpr uint32_t kNewFile = 0xFFFF;

// ---- Panel hardware (short form) -------------------------------------------------------------

LinkStatus ReadPanelStatus();
// Key presses and knob movements that come from elsewhere than the surface itself (a remote
// client of a panel on real hardware): the next status read that succeeds reports them as the
// surface's own, once.
void QueuePanelKeys(int row, uint8_t keys);
void QueueKnobMovement(int knob, int steps);
bool PanelInputQueued();
void ClearQueuedPanelInput();
LinkStatus SetPanelLamps(const uint8_t lamps[kLampCount]);
LinkStatus ConfigurePanel(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
LinkStatus ResetLink();
// The link reset that follows a failure: sent twice, 100 ms after each. It throws away what is
// left on the line.
void ResetLinkTwice();
// A failed exchange that read something else than its answer (a late answer, the rest of a
// long one): the line holds bytes that the next exchange would take for its own.
inline bool LeftBytesOnTheLine(LinkStatus status) {
    return status == kLinkBadLength || status == kLinkBadType || status == kLinkBadCode;
}
// out: the 5-character version and two zero bytes.
LinkStatus ReadPanelVersion(uint8_t out[kPanelVersionLength]);

// ---- Identity and values ---------------------------------------------------------------------

// Clears out first, so after a failure its ModelCode is 0. A wrong answer code gives 4.
LinkStatus Identify(UnitAddress address, UnitIdentity& out);
LinkStatus ReadValues();
LinkStatus ReadValues2();
// Applies the value-update list carried by the answer in rx.
void ApplyValueUpdates(const ResponseBuffer& rx);
LinkStatus AdjustControl(uint8_t id, int16_t delta);
LinkStatus SetControlValue(uint8_t id, int16_t value);
LinkStatus SetSwitchValue(uint8_t id, uint8_t value);
LinkStatus PressSwitchNoWait(uint8_t id);

// ---- Menu blob -------------------------------------------------------------------------------

// 0 when the unit can deliver its menu blob.
LinkStatus QueryMenuReady();
// Appends the unit's menu blob to dest, answer after answer, until the last one.
LinkStatus DownloadMenuBlob(MenuBlock& dest);

// ---- Files -----------------------------------------------------------------------------------

enum class FileList { Files = 0, UserFiles = 1 };

LinkStatus ReadFileList(FileList which);
// Saves the unit's settings as a file (withMenus: a user file carrying custom menus 1..4).
LinkStatus SaveFile(const std::string& name, uint16_t menu, uint16_t fileWord, bool withMenus);
// Loads a file; withMenus also reads the selected unit's custom menus 1..4.
LinkStatus LoadFile(uint8_t file, bool withMenus);
LinkStatus DeleteFile(uint16_t fileId, bool user);
// Reads the contents of a file into g_transferBuffer / g_transferLength.
LinkStatus ReadFileData(uint8_t file);
// Writes g_transferBuffer to the unit at address.
LinkStatus WriteFileData(UnitAddress address);

// ---- Effects ---------------------------------------------------------------------------------

LinkStatus ReadEffectList();
// out: the number the unit gave the new effect.
LinkStatus SaveEffect(const std::string& name, uint8_t& out);
LinkStatus SelectEffect(uint8_t effect);

// ---- GPI sequences ---------------------------------------------------------------------------

LinkStatus ReadGpiSequenceList();
// Mode 2 reads entry seq of g_gpiDetails; 3 resets the sequence, 4 steps it by one event.
LinkStatus GpiSequenceCommand(uint8_t seq, uint8_t mode);
// flag 1 inserts file fileId at position; flag 0 with fileId 0 removes the event there.
LinkStatus AddGpiEvent(uint8_t seq, uint8_t fileId, uint8_t position, uint8_t flag);

// ---- On-air lockout --------------------------------------------------------------------------

LinkStatus ReadLockTables();
LinkStatus SetLock(uint8_t id, uint8_t state);

// ---- Texts and replies -----------------------------------------------------------------------

LinkStatus ReadTitle(std::string& out);
LinkStatus ReadUnitText(std::string& out);
// Answers a question of the unit (topic 11: 1 = OK, 2 = Cancel).
LinkStatus SendReply(uint8_t topic, uint8_t value);
LinkStatus ReadUnitInfo(std::array<uint8_t, kUnitInfoLength>& out);

// ---- General forms ---------------------------------------------------------------------------

// Relays a serial request frame (0x02, n, n bytes, one more) to the selected unit; out gets the
// whole answer buffer, all zero when the unit did not answer.
LinkStatus PassThrough(const uint8_t* frame, ResponseBuffer& out);
LinkStatus SendSimpleCommand(uint8_t code, uint8_t expect, ResponseBuffer& out, int spin);
LinkStatus SendCommand2(uint8_t code, uint8_t expect, uint8_t p1, uint8_t p2, ResponseBuffer& out);
LinkStatus SendCommand3(uint8_t code, uint8_t expect, uint8_t p1, uint8_t p2, uint8_t p3,
                        ResponseBuffer& out);
LinkStatus SendCommandBytes(uint8_t code, uint8_t expect, int n, const uint8_t* bytes,
                            ResponseBuffer& out);
// Identifies the unit at address first; an absent unit counts as success and gets nothing.
LinkStatus SendPingedCommand(UnitAddress address, uint8_t code, uint8_t expect, ResponseBuffer& out,
                             int spin);
