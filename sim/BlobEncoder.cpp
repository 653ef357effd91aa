// The menu blob a simulated unit delivers. Every number is a 16-bit big-endian word and every
// entry starts with its own length in words (the length word included), so the panel can walk
// from entry to entry by the lengths alone.
//
// Texts come in two kinds. A zero-terminated text is followed by zero bytes up to an even size;
// the panel collects it up to the zero and then skips zero bytes until it meets a non-zero one,
// so whatever follows such a text must begin with a non-zero byte where the panel expects it:
//  - control label pairs: the panel steps back one byte from the first non-zero byte, so each
//    pair opens with the word 0x0001 (a zero high byte, taken as padding, then a non-zero one);
//  - switch states: the panel reads on from the first non-zero byte, so each state opens with
//    the word 0x8000 | k (its high byte is non-zero).
// When nothing of the kind follows a text, the entry ends with a guard word of that same form,
// so the skip stops inside the entry instead of running into the next one's length word.
// A counted text takes 2 × n bytes for a word count n given earlier in its entry: the text, then
// zero bytes up to that size; n is the smallest count that holds the text.

#include "sim/BlobEncoder.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

constexpr uint32_t kHeaderWord = 0x4B563401;  // "KV4" and a 1; the panel ignores it
constexpr size_t kBlobLimit = 65536;          // the panel's menu block
constexpr int kSkippedSections = 5;           // between the menus and the messages
constexpr uint16_t kPairOpening = 0x0001;     // first word of a label pair; control guard
constexpr uint16_t kStateOpening = 0x8000;    // first word of a state (| k); switch guard
constexpr uint16_t kEmptySlot = 255;

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, int value) {
    const auto word = static_cast<uint16_t>(value);
    out.push_back(static_cast<uint8_t>(word >> 8));
    out.push_back(static_cast<uint8_t>(word & 0xFF));
}

// The panel's texts break lines with CR LF; a zero byte would end a text early, so none goes in.
std::string PanelText(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 4);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0') continue;
        if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

int CountedWords(const std::string& text) {
    return static_cast<int>((text.size() + 1) / 2);
}

void PutCounted(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    if (text.size() % 2 != 0) out.push_back(0);
}

// The text, its zero and, when that leaves the entry at an odd size, one more zero.
void PutZeroTerminated(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    if (out.size() % 2 != 0) out.push_back(0);
}

// Starts an entry with room for its length word; Finish fills it in.
Bytes StartEntry() {
    return Bytes(2, 0);
}

Bytes Finish(Bytes entry) {
    const size_t words = entry.size() / 2;
    entry[0] = static_cast<uint8_t>(words >> 8);
    entry[1] = static_cast<uint8_t>(words & 0xFF);
    return entry;
}

Bytes ControlEntry(const SimControl& control) {
    const std::string name = PanelText(control.name);
    const std::string extra = PanelText(control.extra);
    const size_t pairs = std::min<size_t>(control.labels.size(), 3);
    const bool hasName = !name.empty();
    // The pairs are found by skipping the padding of a text before them; a control with labels
    // but neither text gets an empty extra text (the panel drops it) so there is one to skip.
    const bool hasExtra = !extra.empty() || (pairs > 0 && !hasName);

    Bytes e = StartEntry();
    Put16(e, control.id);
    Put16(e, control.type);
    Put16(e, control.attributes);
    Put16(e, static_cast<int>(control.mask >> 16));
    Put16(e, static_cast<int>(control.mask & 0xFFFF));
    Put16(e, control.minValue);
    Put16(e, control.maxValue);
    Put16(e, control.minDisplay);
    Put16(e, control.maxDisplay);
    Put16(e, hasName ? 1 : 0);
    Put16(e, 0);
    Put16(e, hasExtra ? 1 : 0);
    Put16(e, static_cast<int>(pairs));
    if (hasName) PutZeroTerminated(e, name);
    if (hasExtra) PutZeroTerminated(e, extra);
    for (size_t k = 0; k < pairs; ++k) {
        const std::string first = PanelText(control.labels[k].first);
        const std::string second = PanelText(control.labels[k].second);
        Put16(e, kPairOpening);
        Put16(e, CountedWords(first));
        Put16(e, CountedWords(second));
        PutCounted(e, first);
        PutCounted(e, second);
    }
    if (pairs == 0 && (hasName || hasExtra)) Put16(e, kPairOpening);
    return Finish(std::move(e));
}

Bytes SwitchEntry(const SimSwitch& sw) {
    const std::string text = PanelText(sw.text);
    const bool hasText = !text.empty();

    Bytes e = StartEntry();
    Put16(e, sw.id);
    Put16(e, sw.type);
    Put16(e, sw.attributes);
    Put16(e, static_cast<int>(sw.mask >> 16));
    Put16(e, static_cast<int>(sw.mask & 0xFFFF));
    Put16(e, sw.minValue);
    Put16(e, sw.maxValue);
    Put16(e, hasText ? 1 : 0);
    Put16(e, static_cast<int>(sw.states.size()));
    if (hasText) PutZeroTerminated(e, text);
    for (size_t k = 0; k < sw.states.size(); ++k) {
        const std::string label = PanelText(sw.states[k]);
        Put16(e, kStateOpening | static_cast<int>(k & 0x7FFF));
        Put16(e, CountedWords(label));
        Put16(e, 0);  // no tail text
        PutCounted(e, label);
    }
    if (hasText && sw.states.empty()) Put16(e, kStateOpening);
    return Finish(std::move(e));
}

// Group-A models (4, 5, 7, 9) have 12 item slots per menu, the others 20.
size_t ItemSlots(uint8_t model) {
    return (model == 4 || model == 5 || model == 7 || model == 9) ? 12 : 20;
}

Bytes MenuEntry(const SimMenu& menu, size_t slots) {
    const std::string name = PanelText(menu.name);
    const std::string title = PanelText(menu.title);

    Bytes e = StartEntry();
    Put16(e, menu.id);
    Put16(e, menu.type);
    Put16(e, menu.attributes);
    for (int knob : menu.knobs)
        Put16(e, knob);
    e.insert(e.end(), 8, 0);  // reserved
    for (size_t i = 0; i < slots; ++i)
        Put16(e, i < menu.items.size() ? menu.items[i] : kEmptySlot);
    Put16(e, CountedWords(name));
    Put16(e, CountedWords(title));
    Put16(e, 0);  // no tail
    PutCounted(e, name);
    PutCounted(e, title);
    return Finish(std::move(e));
}

Bytes MessageEntry(const SimMessage& message) {
    const std::string text = PanelText(message.text);
    const std::string body = PanelText(message.message);

    Bytes e = StartEntry();
    Put16(e, message.id);
    Put16(e, 0);
    Put16(e, message.code);
    Put16(e, 0);
    Put16(e, CountedWords(text));
    e.insert(e.end(), 3 * 2, 0);
    PutCounted(e, text);
    e.insert(e.end(), 6 * 2, 0);
    Put16(e, CountedWords(body));
    PutCounted(e, body);
    return Finish(std::move(e));
}

// The switch section's last entry, which the panel skips by its length.
Bytes SkippedSwitchEntry() {
    Bytes e = StartEntry();
    Put16(e, 0x00FF);
    return Finish(std::move(e));
}

// One entry for skipped section s (0..4): s + 1 filler words, so each has its own length.
Bytes SkippedSectionEntry(int s) {
    Bytes e = StartEntry();
    for (int i = 0; i <= s; ++i)
        Put16(e, 0xFF00 | s);
    return Finish(std::move(e));
}

// Entries go in blob order while they fit in the panel's block. The first one that does not fit
// and every real entry after it are left out; the section counts, the skipped switch entry and
// the five skipped sections always stay, so the panel still walks the whole blob. The shipped
// profiles are far below the limit.
class BlobBuilder {
public:
    explicit BlobBuilder(size_t reserved) : reserved_(reserved) {}

    void OpenSection() {
        countAt_ = blob_.size();
        count_ = 0;
        Put16(blob_, 0);
        reserved_ -= 2;
    }

    void Add(const Bytes& entry) {
        if (full_ || blob_.size() + entry.size() + reserved_ > kBlobLimit) {
            full_ = true;
            return;
        }
        AddAlways(entry);
    }

    // For the frame entries counted in `reserved` from the start.
    void AddReserved(const Bytes& entry) {
        reserved_ -= entry.size();
        AddAlways(entry);
    }

    Bytes& blob() { return blob_; }

private:
    void AddAlways(const Bytes& entry) {
        blob_.insert(blob_.end(), entry.begin(), entry.end());
        ++count_;
        blob_[countAt_] = static_cast<uint8_t>(count_ >> 8);
        blob_[countAt_ + 1] = static_cast<uint8_t>(count_ & 0xFF);
    }

    Bytes blob_;
    size_t reserved_;
    size_t countAt_ = 0;
    int count_ = 0;
    bool full_ = false;
};

}  // namespace

std::vector<uint8_t> EncodeMenuBlob(const SimProfile& profile) {
    std::vector<Bytes> skipped;
    size_t reserved = (3 + kSkippedSections + 1) * 2;  // the section counts
    skipped.push_back(SkippedSwitchEntry());
    for (int s = 0; s < kSkippedSections; ++s)
        skipped.push_back(SkippedSectionEntry(s));
    for (const Bytes& entry : skipped)
        reserved += entry.size();

    BlobBuilder out(reserved);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.blob().push_back(static_cast<uint8_t>(kHeaderWord >> shift));

    out.OpenSection();
    for (const SimControl& control : profile.controls)
        out.Add(ControlEntry(control));

    out.OpenSection();
    for (const SimSwitch& sw : profile.switches)
        out.Add(SwitchEntry(sw));
    out.AddReserved(skipped[0]);

    const size_t slots = ItemSlots(profile.model);
    out.OpenSection();
    for (const SimMenu& menu : profile.menus)
        out.Add(MenuEntry(menu, slots));

    for (int s = 0; s < kSkippedSections; ++s) {
        out.OpenSection();
        out.AddReserved(skipped[1 + s]);
    }

    out.OpenSection();
    for (const SimMessage& message : profile.messages)
        out.Add(MessageEntry(message));
    return std::move(out.blob());
}
