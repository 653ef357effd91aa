// GPI sequences: the list, the detail of one sequence, stepping it and editing its events.

#include <array>
#include <cstring>

#include "link/CommandCore.h"

namespace {

// Data positions of a sequence detail answer.
constexpr int kDetailNameAt = 3;
constexpr int kDetailCurrentAt = 27;
constexpr int kDetailCountAt = 28;
constexpr int kDetailPairsAt = 29;

// The answer's data in a cleared scratch buffer as long as a whole detail: event pairs beyond
// what the unit sent read as 0, as any data position beyond the answer does.
using DetailScratch = std::array<uint8_t, kDetailPairsAt + 2 * kMaxGpiEvents>;
static_assert(kMaxResponseData <= std::tuple_size_v<DetailScratch>);

// Parses the detail answer into record; an event count beyond what the record holds gives 3
// and leaves the record as it was.
LinkStatus ParseGpiDetail(const ResponseBuffer& rx, GpiSequenceDetail& record) {
    DetailScratch scratch{};
    std::memcpy(scratch.data(), Data(rx), DataCount(rx));
    const uint8_t* data = scratch.data();
    const int events = data[kDetailCountAt];
    if (events > kMaxGpiEvents) return CountedFailure(kLinkBadLength);
    record.code = rx[kRespCode];
    std::memcpy(record.unitBytes, data, sizeof record.unitBytes);
    std::memcpy(record.name, data + kDetailNameAt, kNameLength);
    record.currentEvent = data[kDetailCurrentAt];
    record.eventCount = static_cast<uint8_t>(events);
    for (int i = 0; i < events; ++i) {
        record.eventFirst[i] = data[kDetailPairsAt + 2 * i];
        record.eventFileId[i] = data[kDetailPairsAt + 2 * i + 1];
    }
    return kLinkOk;
}

}  // namespace

LinkStatus ReadGpiSequenceList() {
    std::array<uint8_t, kMaxGpiSequences * kWireEntrySize> accumulator{};
    uint32_t length = 0;
    const MultiRead read =
        ListRead(kCmdGpiListOpen, kCmdGpiListMore, kRespGpiListMore, kRespGpiListLast);
    if (LinkStatus status = ReadMultiAnswer(read, accumulator.data(), accumulator.size(), &length))
        return status;
    // A last entry cut short is taken with zeros for its missing bytes.
    uint32_t stored = 0;
    for (uint32_t at = 0; stored < kMaxGpiSequences && at < length; at += kWireEntrySize) {
        GpiSequenceEntry& entry = g_gpiSequences[stored++];
        entry.sequenceId = Word(accumulator.data() + at);
        entry.eventCount = Word(accumulator.data() + at + 2);
        std::memcpy(entry.name, accumulator.data() + at + 4, kNameLength);
    }
    g_gpiSequenceCount = stored;
    return kLinkOk;
}

LinkStatus GpiSequenceCommand(uint8_t seq, uint8_t mode) {
    // The panel keeps the details of ten sequences; a read of another number has nowhere to go.
    const bool readsDetail = mode != kGpiReset && mode != kGpiStep;
    if (readsDetail && seq >= kMaxGpiSequences) return kLinkBadLength;
    const Request request = LongRequest(g_selectedUnit, kCmdGpiSequence, {seq, mode});
    ResponseBuffer rx;
    // The unit may send other answers before the detail; a unit that never sends it is given
    // up on after a fixed number of answers.
    for (int answers = 0; answers < kMaxGpiDetailAnswers; ++answers) {
        if (LinkStatus status = Exchange(request, rx, kSpinNormal)) return status;
        if (LinkStatus status = CheckType(rx)) return status;
        if (mode == kGpiReset || mode == kGpiStep) return kLinkOk;
        if (rx[kRespCode] == kRespGpiDetail) return ParseGpiDetail(rx, g_gpiDetails[seq]);
    }
    return CountedFailure(kLinkBadCode);
}

LinkStatus AddGpiEvent(uint8_t seq, uint8_t fileId, uint8_t position, uint8_t flag) {
    ResponseBuffer rx;
    return SimpleExchange(
        LongRequest(g_selectedUnit, kCmdGpiEvent, {seq, position, flag, 1, fileId}), rx, kSpinEdit,
        kRespFileLoaded);
}
