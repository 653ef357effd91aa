// Effects with their keyframes and assignments, and GPI sequences, of a simulated unit.

#include <algorithm>

#include "sim/SimUnit.h"
#include "sim/SimWire.h"

using namespace simwire;

namespace {

constexpr uint8_t kSaveMarker = 0xFF;
constexpr uint8_t kModeDelete = 0;
constexpr uint8_t kModeInsert = 1;
constexpr uint8_t kModeRead = 2;
constexpr uint8_t kModeGoTo = 4;
constexpr uint8_t kGpiRead = 2;
constexpr uint8_t kGpiReset = 3;
constexpr uint8_t kGpiStep = 4;
constexpr int kGpiWorkingAnswers = 2;  // answers the unit sends before a sequence's detail
constexpr size_t kMaxKeyframes = 64;
constexpr size_t kMaxEvents = 112;  // as many as one detail answer can carry
constexpr size_t kNameField = 24;
constexpr int kGpiMenu = 32;
constexpr size_t kGpiEnableItem = 10;
constexpr size_t kGpiHighItem = 11;
constexpr int kNoKnob = 128;
constexpr int kNoItem = 255;
constexpr int kFirstSwitchId = 128;

SimAnswer Answer(uint8_t code, std::vector<uint8_t> data = {}) {
    SimAnswer answer;
    answer.code = code;
    answer.data = std::move(data);
    return answer;
}

void PutName(std::vector<uint8_t>& out, const std::string& name) {
    std::string field = name.substr(0, kNameField - 1);
    field.resize(kNameField, '\0');
    out.insert(out.end(), field.begin(), field.end());
}

}  // namespace

SimEffect* SimUnit::FindEffect(int id) {
    for (SimEffect& e : m_effects)
        if ((e.id & 0xFF) == id) return &e;
    return nullptr;
}

SimAnswer SimUnit::Effect(const Params& p) {
    if (p.size() >= 2 + kNameField && p[0] == kSaveMarker && p[1] == 1) {
        SimEffect effect;
        for (const SimEffect& e : m_effects)
            effect.id = std::max(effect.id, e.id & 0xFF);
        ++effect.id;
        for (size_t i = 2; i < 2 + kNameField && p[i] != 0; ++i)
            effect.name.push_back(char(p[i]));
        m_effects.push_back(effect);
        if (m_profile.effectSavedMessage) PostMessage(m_profile.effectSavedMessage);
        return Answer(kEffectAnswer, {static_cast<uint8_t>(effect.id)});
    }
    if (p.size() != 2) return Answer(kEffectAnswer);
    if (p[1] == 0) {
        m_effects.erase(std::remove_if(m_effects.begin(), m_effects.end(),
                                       [&](const SimEffect& e) { return (e.id & 0xFF) == p[0]; }),
                        m_effects.end());
        return Answer(kEffectAnswer);
    }
    // The header: number, name, keyframe count and the effect's word.
    std::vector<uint8_t> data = {p[0]};
    const SimEffect* effect = FindEffect(p[0]);
    PutName(data, effect ? effect->name : std::string());
    data.push_back(0);
    data.push_back(effect ? static_cast<uint8_t>(effect->keyframes.size()) : 0);
    data.push_back(effect ? static_cast<uint8_t>(effect->word >> 8) : 0);
    data.push_back(effect ? static_cast<uint8_t>(effect->word & 0xFF) : 0);
    return Answer(kEffectAnswer, std::move(data));
}

SimAnswer SimUnit::Assignments(const Params& p) {
    SimEffect* effect = p.empty() ? nullptr : FindEffect(p[0]);
    if (p.size() >= 3 && p[1] == 1) {
        // Written: the number, 1, a count and that many control ids.
        if (effect) {
            const size_t count = std::min<size_t>(p[2], p.size() - 3);
            effect->assignments.assign(p.begin() + 3, p.begin() + 3 + count);
        }
        return Answer(kAssignmentAnswer);
    }
    std::vector<uint8_t> data = {p.empty() ? uint8_t{0} : p[0], 0};
    const auto& bytes = effect ? effect->assignments : std::vector<uint8_t>{};
    data.push_back(static_cast<uint8_t>(bytes.size()));
    data.insert(data.end(), bytes.begin(), bytes.end());
    return Answer(kAssignmentAnswer, std::move(data));
}

SimAnswer SimUnit::Keyframe(const Params& p) {
    if (p.size() < 3) return Answer(kKeyframeAnswer);
    SimEffect* effect = FindEffect(p[0]);
    const size_t index = p[1];
    switch (p[2]) {
        case kModeRead: {
            SimKeyframe frame;
            if (effect && index < effect->keyframes.size()) frame = effect->keyframes[index];
            return Answer(kKeyframeAnswer,
                          {p[0], p[1], kModeRead, static_cast<uint8_t>(frame.time >> 8),
                           static_cast<uint8_t>(frame.time & 0xFF), frame.bytes[0], frame.bytes[1],
                           frame.bytes[2]});
        }
        case kModeInsert:
            // The new keyframe becomes number p[1] (the new count).
            if (effect && p.size() >= 5 && effect->keyframes.size() < kMaxKeyframes) {
                SimKeyframe frame;
                frame.time = p[3] << 8 | p[4];
                const size_t at = std::min(effect->keyframes.size(), index > 0 ? index - 1 : 0);
                effect->keyframes.insert(effect->keyframes.begin() + at, frame);
            }
            return Answer(kKeyframeAnswer);
        case kModeDelete:
            if (effect && index < effect->keyframes.size())
                effect->keyframes.erase(effect->keyframes.begin() + index);
            return Answer(kKeyframeDeleted);
        case kModeGoTo:
        default:
            return Answer(kKeyframeAnswer);
    }
}

SimAnswer SimUnit::Gpi(const Params& p) {
    if (p.size() != 2 || p[0] >= m_gpi.size()) return Answer(kGpiDetail);
    SimGpiSequence& sequence = m_gpi[p[0]];
    const int events = static_cast<int>(sequence.events.size());
    switch (p[1]) {
        case kGpiReset:
            // Reset stands before the first event: the next step (or GPI) fires event 1.
            sequence.current = 0;
            return Answer(kGpiDetail);
        case kGpiStep:
            sequence.current = events > 0 ? sequence.current % events + 1 : 0;
            return Answer(kGpiDetail);
        case kGpiRead:
            break;
        default:
            return Answer(kGpiDetail);
    }
    // The unit works on the request for a while before the detail comes.
    if (m_gpiWaitingAnswers < kGpiWorkingAnswers) {
        ++m_gpiWaitingAnswers;
        return Answer(kGpiWorking, {0});
    }
    m_gpiWaitingAnswers = 0;
    std::vector<uint8_t> data = {static_cast<uint8_t>(sequence.id), 0, 0};
    PutName(data, sequence.name);
    data.push_back(static_cast<uint8_t>(sequence.current));
    data.push_back(static_cast<uint8_t>(events));
    for (const auto& event : sequence.events)
        data.insert(data.end(), event.begin(), event.end());
    return Answer(kGpiDetail, std::move(data));
}

SimAnswer SimUnit::GpiEvent(const Params& p) {
    if (p.size() == 5 && p[0] < m_gpi.size()) {
        // The event that was current stays current while others come and go before it.
        SimGpiSequence& sequence = m_gpi[p[0]];
        auto& events = sequence.events;
        const int position = std::min<int>(p[1], static_cast<int>(events.size()));
        if (p[2] == 1 && events.size() < kMaxEvents) {
            events.insert(events.begin() + position, {0, p[4]});
            if (position < sequence.current) ++sequence.current;
        } else if (p[2] == 0 && position < static_cast<int>(events.size())) {
            events.erase(events.begin() + position);
            if (position < sequence.current - 1) --sequence.current;
            sequence.current = std::min(sequence.current, static_cast<int>(events.size()));
        }
    }
    return Answer(kLoaded);
}

SimAnswer SimUnit::GpiStatus() {
    std::vector<uint8_t> data(13, 0);
    if (!m_gpi.empty()) {
        data[11] = 1;
        data[12] = static_cast<uint8_t>(m_gpi[0].current);
    }
    return Answer(kGpiStatusAnswer, std::move(data));
}

void SimUnit::FindGpiInputSettings() {
    // A unit whose GPI menu names a select control (knob 1), a dwell control (knob 0) and two
    // enable switches (items 10 and 11), as the units outside group A do, keeps the dwell and
    // the enables per GPI input.
    for (const SimMenu& menu : m_profile.menus) {
        if (menu.id != kGpiMenu || menu.items.size() <= kGpiHighItem) continue;
        const int select = menu.knobs[1], dwell = menu.knobs[0];
        const int enable = menu.items[kGpiEnableItem], high = menu.items[kGpiHighItem];
        if (select >= kNoKnob || dwell >= kNoKnob || enable < kFirstSwitchId || enable >= kNoItem ||
            high < kFirstSwitchId || high >= kNoItem)
            return;
        m_gpiSelect = select;
        m_gpiDwell = dwell;
        m_gpiEnable = enable;
        m_gpiHigh = high;
        m_gpiStartInput = LiveGpiInput();
    }
}

SimUnit::GpiInput SimUnit::LiveGpiInput() const {
    return {m_values[m_gpiDwell], m_switchValues[m_gpiEnable - kFirstSwitchId],
            m_switchValues[m_gpiHigh - kFirstSwitchId]};
}

void SimUnit::SelectGpiInput(int from, int to) {
    m_gpiInputs[from] = LiveGpiInput();
    // An input not selected before has the settings the unit started with.
    const auto it = m_gpiInputs.find(to);
    const GpiInput next = it == m_gpiInputs.end() ? m_gpiStartInput : it->second;
    m_values[m_gpiDwell] = static_cast<int16_t>(next[0]);
    m_switchValues[m_gpiEnable - kFirstSwitchId] = static_cast<uint8_t>(next[1]);
    m_switchValues[m_gpiHigh - kFirstSwitchId] = static_cast<uint8_t>(next[2]);
}
