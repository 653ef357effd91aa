#include "sim/SimUnit.h"

#include <algorithm>
#include <cstdlib>

#include "sim/BlobEncoder.h"
#include "sim/SimWire.h"

using namespace simwire;

namespace {

constexpr uint8_t kFlagTally = 0x01;
constexpr uint8_t kFlagValuesChanged = 0x02;
constexpr uint8_t kFlagValues2Changed = 0x04;
constexpr uint8_t kFlagBootMode = 0x08;
constexpr uint8_t kFlagBusy = 0x10;
constexpr uint8_t kFlagReference = 0x40;
constexpr uint8_t kOwnTextMessage = 100;
constexpr uint8_t kOwnTextMessageAlt = 255;
constexpr int kQuestionBit = 0x4000;
constexpr int kResetRequest = 32767;
constexpr uint8_t kReportSwitch = 255;
constexpr int kBlobChunk = 254;
constexpr int kShortValueControls = 13;  // a unit with no more controls answers the short form
constexpr int kFileClearSwitch = 163;
constexpr int kFileClearAltSwitch = 174;
constexpr int kFileClearBusyIdentifies = 4;
constexpr int kSteppedAttribute = 0x0100;
constexpr int kFirstSwitch = 128;
constexpr int kLockoutSwitch = 168;
constexpr uint8_t kUnlockedState = 2;
constexpr int kMaxStep = 65536;  // more than any control's range
constexpr size_t kUpdateSlot = 3;

// Requests that carry no 0xFF at their end.
bool Unterminated(uint8_t code) {
    return code == kSave || code == kSaveWithMenus || code == kFileDataChunk;
}

void PutWord(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

SimAnswer Answer(uint8_t code, std::vector<uint8_t> data = {}) {
    SimAnswer answer;
    answer.code = code;
    answer.data = std::move(data);
    return answer;
}

// A value-update list goes out in whole three-byte slots (the lengths the panel takes for a set
// answer): filler bytes the count does not include follow it, one at least.
SimAnswer UpdateAnswer(std::vector<uint8_t> list) {
    SimAnswer answer = Answer(kUpdates, std::move(list));
    answer.trailer =
        1 + static_cast<int>((kUpdateSlot - answer.data.size() % kUpdateSlot) % kUpdateSlot);
    return answer;
}

}  // namespace

SimUnit::SimUnit(const SimProfile& profile) : m_profile(profile) {
    m_flags = profile.flags;
    m_currentMenu = profile.currentMenu;
    m_unitText = profile.unitText;
    for (const SimControl& c : profile.controls) {
        if (c.id < 0 || c.id > 128) continue;
        m_min[c.id] = c.minValue;
        m_max[c.id] = c.maxValue;
        m_reset[c.id] = c.resetValue;
        m_values[c.id] = static_cast<int16_t>(std::clamp(c.value, c.minValue, c.maxValue));
        m_values2[c.id] = static_cast<uint16_t>(c.value2);
        m_stepped[c.id] = c.attributes & kSteppedAttribute;
    }
    for (const SimSwitch& s : profile.switches) {
        if (s.id < 128 || s.id > 255) continue;
        const int index = s.id - 128;
        m_switchMin[index] = s.minValue;
        m_switchMax[index] = s.maxValue;
        m_switchValues[index] = static_cast<uint8_t>(s.value);
        m_switchValues2[index] = static_cast<uint8_t>(s.value2);
    }
    m_linkedControl.fill(-1);
    for (const SimControl& c : profile.controls) {
        if (c.id < 0 || c.id > 128 || c.linkedSwitch < kFirstSwitch || c.linkedSwitch > 255)
            continue;
        m_linkedSwitch[c.id] = c.linkedSwitch;
        m_linkOffset[c.id] = c.linkOffset;
        m_linkedControl[c.linkedSwitch - kFirstSwitch] = c.id;
    }
    KeepLinksInStep();
    m_controlLocks.fill(2);
    m_switchLocks.fill(2);
    for (int id : profile.lockedControls)
        if (id >= 0 && id < 128) m_controlLocks[id] = 1;
    for (int id : profile.lockedSwitches)
        if (id >= 128 && id < 256) m_switchLocks[id - 128] = 1;
    m_files = profile.files;
    m_userFiles = profile.userFiles;
    for (auto* list : {&m_files, &m_userFiles})
        for (SimFile& file : *list)
            if (file.contents.empty()) file.contents = Snapshot(file.name);
    m_effects = profile.effects;
    m_gpi = profile.gpiSequences;
    FindGpiInputSettings();
}

const std::vector<uint8_t>& SimUnit::Blob() {
    if (m_blob.empty()) m_blob = EncodeMenuBlob(m_profile);
    return m_blob;
}

int SimUnit::Received(uint8_t code) const {
    auto it = m_received.find(code);
    return it == m_received.end() ? 0 : it->second;
}

std::optional<std::vector<uint8_t>> SimUnit::Handle(const std::vector<uint8_t>& packet) {
    if (packet.size() < 5 || packet[0] != kLongRequest || packet[1] != packet.size()) {
        ++m_malformed;
        return std::nullopt;
    }
    const uint8_t n = packet[3];
    const uint8_t code = packet[4];
    Params params;
    if (Unterminated(code)) {
        params.assign(packet.begin() + 5, packet.end());
    } else {
        // A terminated request: N + 5 bytes in all, 0xFF last.
        if (packet.size() != static_cast<size_t>(n) + 5u || packet.back() != kTerminator ||
            n == 0) {
            ++m_malformed;
            return std::nullopt;
        }
        params.assign(packet.begin() + 5, packet.end() - 1);
    }
    ++m_received[code];
    if (m_startUpIdentifies > 0) {
        // Starting after a power cycle: it counts the panel's identifies and answers nothing.
        if (code == kIdentify) --m_startUpIdentifies;
        return std::nullopt;
    }
    if (code != kLockTables) m_lockTableSecond = false;
    std::optional<SimAnswer> answer = Dispatch(code, params, packet);
    if (!answer) return std::nullopt;
    return ApplyFaults(code, std::move(*answer));
}

std::optional<std::vector<uint8_t>> SimUnit::ApplyFaults(uint8_t code, SimAnswer answer) {
    if (m_faults.answersLeft == 0) return std::nullopt;
    if (m_faults.answersLeft > 0) --m_faults.answersLeft;

    const bool hit = m_faults.corruption != SimCorruption::None && m_faults.corruptCount != 0 &&
                     (m_faults.corruptCommand < 0 || m_faults.corruptCommand == code);
    if (!hit) return WireBytes(answer);
    if (m_faults.corruptCount > 0) --m_faults.corruptCount;

    std::vector<uint8_t> bytes;
    switch (m_faults.corruption) {
        case SimCorruption::WrongCode:
            answer.code ^= 0x40;
            return WireBytes(answer);
        case SimCorruption::WrongType:
            answer.type = 8;
            return WireBytes(answer);
        case SimCorruption::Oversize:
            answer.data.assign(256, 0xA5);
            return WireBytes(answer);
        case SimCorruption::CountBeyondData:
            bytes = WireBytes(answer);
            bytes[4] = static_cast<uint8_t>(std::min<size_t>(answer.data.size() + 11, 255));
            return bytes;
        case SimCorruption::CutShort:
            bytes = WireBytes(answer);
            bytes.resize(6);
            return bytes;
        case SimCorruption::None:
            break;
    }
    return WireBytes(answer);
}

std::optional<SimAnswer> SimUnit::Dispatch(uint8_t code, const Params& p,
                                           const std::vector<uint8_t>& packet) {
    auto param = [&p](size_t i) -> uint8_t { return i < p.size() ? p[i] : 0; };
    switch (code) {
        case kIdentify:
            return Identify();
        case kValues:
            return Values(false, false);
        case kValuesRest:
            return Values(false, true);
        case kValues2:
            return Values(true, false);
        case kValues2Rest:
            return Values(true, true);
        case kAdjust:
            return Adjust(p);
        case kSet:
            return Set(p);
        case kMenuReady:
            m_blobAt = 0;
            return Answer(kOk, {0});
        case kMenuBlob:
            return MenuBlobChunk();
        case kFileList:
        case kUserFileList: {
            const bool user = code == kUserFileList;
            std::vector<uint8_t> bytes;
            for (const SimFile& f : user ? m_userFiles : m_files) {
                PutWord(bytes, f.id);
                PutWord(bytes, f.word2);
                std::string name = f.name.substr(0, 23);
                name.resize(24, '\0');
                bytes.insert(bytes.end(), name.begin(), name.end());
            }
            return user ? OpenStream(bytes, kUserFileListMore, 'E', 'F', 252)
                        : OpenStream(bytes, kFileListMore, 'C', 'D', 252);
        }
        case kEffectList: {
            std::vector<uint8_t> bytes;
            for (const SimEffect& e : m_effects) {
                PutWord(bytes, e.id);
                PutWord(bytes, e.word);
                std::string name = e.name.substr(0, 23);
                name.resize(24, '\0');
                bytes.insert(bytes.end(), name.begin(), name.end());
            }
            return OpenStream(bytes, kEffectListMore, 'G', 'H', 252);
        }
        case kGpiList: {
            std::vector<uint8_t> bytes;
            for (const SimGpiSequence& s : m_gpi) {
                PutWord(bytes, s.id);
                PutWord(bytes, static_cast<int>(s.events.size()));
                std::string name = s.name.substr(0, 23);
                name.resize(24, '\0');
                bytes.insert(bytes.end(), name.begin(), name.end());
            }
            return OpenStream(bytes, kGpiListMore, 'I', 'J', 252);
        }
        case kFileListMore:
        case kUserFileListMore:
        case kEffectListMore:
        case kGpiListMore:
        case kFileDataRead:
            return NextChunk(code);
        case kFileDataOpen:
            return OpenFileData(param(0));
        case kFileDataWrite:
            // The unit makes ready to take a file and says nothing.
            m_incoming.clear();
            m_incomingOpen = true;
            return std::nullopt;
        case kFileDataChunk:
            return WriteChunk(packet);
        case kSave:
            return SaveFile(packet, false);
        case kSaveWithMenus:
            return SaveFile(packet, true);
        case kLoad:
            return LoadFile(param(0), false);
        case kLoadWithMenus:
            return LoadFile(param(0), true);
        case kDelete:
        case kDeleteUser:
            return DeleteFile(static_cast<uint16_t>(param(0) << 8 | param(1)), code == kDeleteUser);
        case kRunEffect:
            m_runningEffect = param(0);
            return Answer(kRunning);
        case kEffect:
            return Effect(p);
        case kAssignments:
            return Assignments(p);
        case kKeyframe:
            return Keyframe(p);
        case kGpi:
            return Gpi(p);
        case kGpiEvent:
            return GpiEvent(p);
        case kGpiStatus:
            return GpiStatus();
        case kLockTables:
            return LockTable();
        case kSetLock:
            return SetLock(p);
        case kTitle:
            return Title();
        case kUnitText:
            return UnitText();
        case kReply:
            return Reply(p);
        case kUnitInfo:
            return UnitInfo();
        case kFileSystemUpdate:
            return Answer(kDone);
        case kTallyRelease:
            m_flags &= ~kFlagTally;
            return Answer(kOk);
        default:
            return Answer(kUnknown);
    }
}

// ---- Identity --------------------------------------------------------------------------------

SimAnswer SimUnit::Identify() {
    uint8_t flags = m_flags;
    if (m_busyIdentifies > 0) {
        flags |= kFlagBusy;
        --m_busyIdentifies;
    }
    SimAnswer answer = Answer(
        kIdentity, {flags, m_messageNumber, m_profile.model, m_currentMenu, 'K', 'V', '4', 1, 7});
    // A plain message is told once; a question waits for its reply, the unit's own text for
    // its reading.
    const bool ownText =
        m_messageNumber == kOwnTextMessage || m_messageNumber == kOwnTextMessageAlt;
    bool question = false;
    for (const SimMessage& m : m_profile.messages)
        if (m.id == m_messageNumber && (m.code & kQuestionBit)) question = true;
    if (m_messageNumber != 0 && !ownText && !question) m_messageNumber = 0;
    return answer;
}

void SimUnit::SetTally(bool on) {
    m_flags = on ? (m_flags | kFlagTally) : (m_flags & ~kFlagTally);
}

void SimUnit::SetReferenceVideo(bool present) {
    m_flags = present ? (m_flags | kFlagReference) : (m_flags & ~kFlagReference);
}

void SimUnit::SetBootMode(bool on) {
    m_flags = on ? (m_flags | kFlagBootMode) : (m_flags & ~kFlagBootMode);
}

// ---- Values ----------------------------------------------------------------------------------

SimAnswer SimUnit::Values(bool second, bool rest) {
    auto word = [&](int id) {
        return second ? m_values2[id] : static_cast<uint16_t>(m_values[id]);
    };
    std::vector<uint8_t> data;
    if (rest) {
        PutWord(data, word(127));
        for (int k = 0; k < 128; ++k)
            data.push_back(second ? m_switchValues2[k] : m_switchValues[k]);
        m_flags &= second ? ~kFlagValues2Changed : ~kFlagValuesChanged;
        return Answer(second ? kRest2 : kRest, std::move(data));
    }
    int highest = 0;
    for (const SimControl& c : m_profile.controls)
        highest = std::max(highest, c.id);
    const bool shortForm = !second && highest < kShortValueControls;
    const int count = shortForm ? kShortValueControls : 127;
    for (int id = 0; id < count; ++id)
        PutWord(data, word(id));
    return Answer(second ? kValues2Answer : shortForm ? kUpdates : kAllValues, std::move(data));
}

void SimUnit::StoreControl(int id, int value) {
    const int before = m_values[id];
    m_values[id] = static_cast<int16_t>(std::clamp(value, m_min[id], m_max[id]));
    if (id == m_gpiSelect && m_values[id] != before) SelectGpiInput(before, m_values[id]);
    if (const int s = m_linkedSwitch[id]) {
        const int index = s - kFirstSwitch;
        m_switchValues[index] = static_cast<uint8_t>(
            std::clamp(m_values[id] - m_linkOffset[id], m_switchMin[index], m_switchMax[index]));
    }
}

void SimUnit::StoreSwitch(int id, int value) {
    const int index = id - kFirstSwitch;
    m_switchValues[index] =
        static_cast<uint8_t>(std::clamp(value, m_switchMin[index], m_switchMax[index]));
    if (const int c = m_linkedControl[index]; c >= 0)
        m_values[c] = static_cast<int16_t>(
            std::clamp(m_switchValues[index] + m_linkOffset[c], m_min[c], m_max[c]));
}

void SimUnit::KeepLinksInStep() {
    for (int id = 0; id < static_cast<int>(m_values.size()); ++id)
        if (m_linkedSwitch[id]) StoreControl(id, m_values[id]);
}

int SimUnit::Partner(int id) const {
    if (id < kFirstSwitch) return m_linkedSwitch[id] ? m_linkedSwitch[id] : -1;
    return m_linkedControl[id - kFirstSwitch];
}

std::vector<uint8_t> SimUnit::Updates(int id) const {
    std::vector<uint8_t> list;
    // A new GPI input brings its own dwell and enable settings.
    const bool gpiSelect = id == m_gpiSelect;
    for (int entry : {id, Partner(id), gpiSelect ? m_gpiDwell : -1, gpiSelect ? m_gpiEnable : -1,
                      gpiSelect ? m_gpiHigh : -1}) {
        if (entry < 0) continue;
        list.push_back(static_cast<uint8_t>(entry));
        if (entry < kFirstSwitch)
            PutWord(list, m_values[entry]);
        else
            list.push_back(m_switchValues[entry - kFirstSwitch]);
    }
    return list;
}

int SimUnit::ScaledDelta(int id, int delta) {
    const int fullRange = m_profile.adjustFullRange;
    if (fullRange <= 0 || m_stepped[id]) return delta;
    // The firmware's divider: the nearest whole number of values, the rest kept for the next
    // movement so that a slow turn moves the control too.
    const int values = std::abs(m_max[id] - m_min[id]) + 1;
    m_adjustRest[id] += int64_t{delta} * values;
    const int64_t half = m_adjustRest[id] < 0 ? -fullRange / 2 : fullRange / 2;
    const int64_t step = (m_adjustRest[id] + half) / fullRange;
    m_adjustRest[id] -= step * fullRange;
    return static_cast<int>(std::clamp<int64_t>(step, -kMaxStep, kMaxStep));
}

bool SimUnit::HeldByLockout(int id) const {
    // The lockout switch itself always answers, so that the lockout can be turned off.
    if (id == kLockoutSwitch || m_switchValues[kLockoutSwitch - kFirstSwitch] == 0 ||
        !(m_flags & kFlagTally))
        return false;
    const uint8_t lock = id < kFirstSwitch ? m_controlLocks[id] : m_switchLocks[id - kFirstSwitch];
    return lock != kUnlockedState;
}

SimAnswer SimUnit::Adjust(const Params& p) {
    if (p.size() != 3 || p[0] >= kFirstSwitch) return UpdateAnswer({});
    const int id = p[0];
    const auto delta = static_cast<int16_t>(p[1] << 8 | p[2]);
    if (!HeldByLockout(id)) StoreControl(id, m_values[id] + ScaledDelta(id, delta));
    return UpdateAnswer(Updates(id));
}

SimAnswer SimUnit::Set(const Params& p) {
    if (p.size() == 3 && p[0] < kFirstSwitch) {
        const int id = p[0];
        const auto raw = static_cast<int16_t>(p[1] << 8 | p[2]);
        if (!HeldByLockout(id)) StoreControl(id, raw == kResetRequest ? m_reset[id] : raw);
        return UpdateAnswer(Updates(id));
    }
    if (p.size() == 2 && p[0] >= kFirstSwitch) {
        if (p[1] != kReportSwitch && !HeldByLockout(p[0])) StoreSwitch(p[0], p[1]);
        if (p[0] == kFileClearSwitch || p[0] == kFileClearAltSwitch)
            m_busyIdentifies = kFileClearBusyIdentifies;
        return UpdateAnswer(Updates(p[0]));
    }
    return UpdateAnswer({});
}

void SimUnit::ChangeControl(int id, int value) {
    if (id < 0 || id > 128) return;
    StoreControl(id, value);
    m_flags |= kFlagValuesChanged;
}

void SimUnit::ChangeSwitch(int id, int value) {
    if (id < kFirstSwitch || id > 255) return;
    StoreSwitch(id, value);
    m_flags |= kFlagValuesChanged;
}

// ---- Streams of several answers --------------------------------------------------------------

SimAnswer SimUnit::OpenStream(std::vector<uint8_t> bytes, uint8_t followCode, uint8_t more,
                              uint8_t last, size_t chunk) {
    m_streams[followCode] = Stream{std::move(bytes), 0, chunk, more, last};
    return Answer(kOk);
}

SimAnswer SimUnit::NextChunk(uint8_t followCode) {
    auto it = m_streams.find(followCode);
    if (it == m_streams.end()) return Answer(kNotFound);
    Stream& s = it->second;
    const size_t count = std::min(s.chunk, s.bytes.size() - s.at);
    std::vector<uint8_t> data(s.bytes.begin() + s.at, s.bytes.begin() + s.at + count);
    s.at += count;
    return Answer(s.at >= s.bytes.size() ? s.last : s.more, std::move(data));
}

SimAnswer SimUnit::MenuBlobChunk() {
    const std::vector<uint8_t>& blob = Blob();
    if (m_blobAt >= blob.size()) m_blobAt = 0;
    const size_t count = std::min<size_t>(kBlobChunk, blob.size() - m_blobAt);
    std::vector<uint8_t> data(blob.begin() + m_blobAt, blob.begin() + m_blobAt + count);
    m_blobAt += count;
    const bool last = m_blobAt >= blob.size();
    if (last) m_blobAt = 0;
    return Answer(last ? kBlobLast : kBlobMore, std::move(data));
}

// ---- Locks and texts -------------------------------------------------------------------------

SimAnswer SimUnit::LockTable() {
    // Model 4 sends its switch table first.
    const bool switchesFirst = m_profile.model == 4;
    const bool switches = m_lockTableSecond != switchesFirst;
    m_lockTableSecond = !m_lockTableSecond;
    const auto& table = switches ? m_switchLocks : m_controlLocks;
    return Answer(2, {table.begin(), table.end()});
}

SimAnswer SimUnit::SetLock(const Params& p) {
    if (p.size() == 2) {
        if (p[0] < 128)
            m_controlLocks[p[0]] = p[1];
        else
            m_switchLocks[p[0] - 128] = p[1];
    }
    return Answer(kOk);
}

SimAnswer SimUnit::Title() {
    std::vector<uint8_t> data = {0, 0};
    data.insert(data.end(), m_profile.title.begin(), m_profile.title.end());
    data.push_back(0);
    return Answer(kOk, std::move(data));
}

SimAnswer SimUnit::UnitText() {
    std::vector<uint8_t> data(m_unitText.begin(), m_unitText.end());
    data.push_back(0);
    if (m_messageNumber == kOwnTextMessage || m_messageNumber == kOwnTextMessageAlt)
        m_messageNumber = 0;
    return Answer(kText, std::move(data));
}

SimAnswer SimUnit::Reply(const Params& p) {
    if (p.size() == 2) {
        m_lastReply = p[1];
        m_messageNumber = 0;
    }
    return Answer(kReplied);
}

SimAnswer SimUnit::UnitInfo() {
    std::vector<uint8_t> data(255, 0);
    std::copy_n(m_profile.unitInfo.begin(), std::min<size_t>(m_profile.unitInfo.size(), 254),
                data.begin());
    return Answer(kOk, std::move(data));
}
