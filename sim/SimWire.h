#pragma once

// The far end's own names for what travels on the link. The simulator keeps them apart from
// the panel's so that a wrong number on one side is caught by the other.

#include <cstdint>

namespace simwire {

inline constexpr uint8_t kLongRequest = 0x08;
inline constexpr uint8_t kTerminator = 0xFF;

// Requests.
inline constexpr uint8_t kAdjust = 129;
inline constexpr uint8_t kFileDataRead = 142;
inline constexpr uint8_t kFileDataChunk = 143;
inline constexpr uint8_t kFileDataWrite = 145;
inline constexpr uint8_t kFileDataOpen = 146;
inline constexpr uint8_t kLoad = 147;
inline constexpr uint8_t kLoadWithMenus = 153;
inline constexpr uint8_t kReply = 158;
inline constexpr uint8_t kGpiStatus = 159;
inline constexpr uint8_t kRunEffect = 165;
inline constexpr uint8_t kSet = 168;
inline constexpr uint8_t kUnitInfo = 171;
inline constexpr uint8_t kValues = 172;
inline constexpr uint8_t kValues2 = 173;
inline constexpr uint8_t kValuesRest = 174;
inline constexpr uint8_t kValues2Rest = 175;
inline constexpr uint8_t kEffect = 176;
inline constexpr uint8_t kAssignments = 177;
inline constexpr uint8_t kKeyframe = 178;
inline constexpr uint8_t kGpi = 179;
inline constexpr uint8_t kGpiEvent = 180;
inline constexpr uint8_t kUnitText = 181;
inline constexpr uint8_t kTitle = 182;
inline constexpr uint8_t kSetLock = 184;
inline constexpr uint8_t kLockTables = 185;
inline constexpr uint8_t kGpiList = 188;
inline constexpr uint8_t kGpiListMore = 189;
inline constexpr uint8_t kDelete = 190;
inline constexpr uint8_t kDeleteUser = 191;
inline constexpr uint8_t kIdentify = 192;
inline constexpr uint8_t kMenuBlob = 193;
inline constexpr uint8_t kFileList = 194;
inline constexpr uint8_t kUserFileList = 195;
inline constexpr uint8_t kEffectList = 196;
inline constexpr uint8_t kMenuReady = 197;
inline constexpr uint8_t kFileListMore = 198;
inline constexpr uint8_t kUserFileListMore = 199;
inline constexpr uint8_t kEffectListMore = 200;
inline constexpr uint8_t kSave = 204;
inline constexpr uint8_t kSaveWithMenus = 205;
inline constexpr uint8_t kFileSystemUpdate = 234;
inline constexpr uint8_t kTallyRelease = 235;

// Answer codes.
inline constexpr uint8_t kOk = 0;
inline constexpr uint8_t kAllValues = 2;
inline constexpr uint8_t kValues2Answer = 3;
inline constexpr uint8_t kUpdates = 4;
inline constexpr uint8_t kReplied = 5;
inline constexpr uint8_t kGpiStatusAnswer = 13;
inline constexpr uint8_t kFileDataMore = 24;
inline constexpr uint8_t kFileDataLast = 25;
inline constexpr uint8_t kDone = 27;
inline constexpr uint8_t kLoaded = 29;
inline constexpr uint8_t kNotFound = 31;
inline constexpr uint8_t kText = '!';
inline constexpr uint8_t kUserDeleted = '"';
inline constexpr uint8_t kLoadedWithMenus = '$';
inline constexpr uint8_t kRest = '%';
inline constexpr uint8_t kRest2 = '&';
inline constexpr uint8_t kKeyframeDeleted = '3';
inline constexpr uint8_t kRunning = '5';
inline constexpr uint8_t kIdentity = '@';
inline constexpr uint8_t kBlobMore = 'A';
inline constexpr uint8_t kBlobLast = 'B';
inline constexpr uint8_t kEffectAnswer = 0x5C;
inline constexpr uint8_t kAssignmentAnswer = 0x5D;
inline constexpr uint8_t kKeyframeAnswer = 0x5E;
inline constexpr uint8_t kGpiWorking = '^';
inline constexpr uint8_t kGpiDetail = '_';
inline constexpr uint8_t kUnknown = 0xFF;

}  // namespace simwire
