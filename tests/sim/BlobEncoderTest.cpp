#include "sim/BlobEncoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Slice(const Bytes& blob, size_t at, size_t size) {
    if (at + size > blob.size()) return {};
    return Bytes(blob.begin() + at, blob.begin() + at + size);
}

// Reads the blob the way the panel does: entries by their lengths, zero-terminated texts up to
// the zero and then past the zero bytes that follow, the label pairs one byte back from there,
// counted texts up to their first zero. Out-of-range reads throw, which fails the test.
struct Reader {
    const Bytes& b;
    size_t pos = 0;

    int Word() {
        const int w = b.at(pos) << 8 | b.at(pos + 1);
        pos += 2;
        return w;
    }
    std::string ZeroText() {
        std::string s;
        while (b.at(pos) != 0)
            s.push_back(static_cast<char>(b[pos++]));
        while (b.at(pos) == 0)
            ++pos;
        return s;
    }
    std::string Counted(int words) {
        std::string s;
        for (int i = 0; i < 2 * words; ++i)
            s.push_back(static_cast<char>(b.at(pos + i)));
        pos += 2 * words;
        return s.substr(0, s.find('\0'));
    }
};

struct Walked {
    std::vector<std::string> controls;  // name|extra|first/second|...
    std::vector<std::string> switches;  // text|label,label,...
    std::vector<std::vector<int>> menuItems;
    std::vector<std::string> messages;  // code:text|message
    size_t messageSection = 0;
    size_t end = 0;
};

// Walks a whole blob; every parsed entry must stay within its length.
Walked Walk(const Bytes& blob, size_t slots) {
    Walked w;
    Reader r{blob, 4};
    auto entries = [&](auto parse) {
        const int count = r.Word();
        for (int i = 0; i < count; ++i) {
            const size_t start = r.pos;
            const size_t end = start + 2 * r.Word();
            parse(i, count);
            EXPECT_LE(r.pos, end) << "entry at " << start;
            r.pos = end;
        }
    };
    entries([&](int, int) {
        r.pos += 2 * 9;
        const int nameFlag = r.Word(), ignored = r.Word(), extraFlag = r.Word();
        const int pairs = r.Word();
        EXPECT_EQ(ignored, 0);
        std::string s = nameFlag ? r.ZeroText() : "-";
        s += "|" + (extraFlag ? r.ZeroText() : std::string("-"));
        if (pairs > 0) --r.pos;
        for (int k = 0; k < pairs; ++k) {
            r.Word();
            const int nA = r.Word(), nB = r.Word();
            s += "|" + r.Counted(nA);
            s += "/" + r.Counted(nB);
        }
        w.controls.push_back(s);
    });
    entries([&](int i, int count) {
        if (i == count - 1) return;  // the panel skips the last one
        r.pos += 2 * 7;
        const int textFlag = r.Word(), states = r.Word();
        std::string s = (textFlag ? r.ZeroText() : "-") + "|";
        for (int k = 0; k < states; ++k) {
            r.Word();
            const int nL = r.Word(), tailFlag = r.Word();
            s += (k ? "," : "") + r.Counted(nL);
            if (tailFlag) r.ZeroText();
        }
        w.switches.push_back(s);
    });
    entries([&](int, int) {
        r.pos += 2 * 3 + 2 * 8 + 8;
        std::vector<int> items;
        for (size_t k = 0; k < slots; ++k)
            items.push_back(r.Word());
        const int nameLen = r.Word(), titleLen = r.Word(), tailLen = r.Word();
        r.pos += 2 * (nameLen + titleLen + tailLen);
        w.menuItems.push_back(items);
    });
    for (int s = 0; s < 5; ++s)
        entries([](int, int) {});
    w.messageSection = r.pos;
    entries([&](int, int) {
        r.pos += 2;
        r.Word();
        const int code = r.Word();
        r.Word();
        const int textLen = r.Word();
        r.pos += 6;
        std::string s = std::to_string(code) + ":" + (textLen ? r.Counted(textLen) : "");
        r.pos += 12;
        const int messageLen = r.Word();
        w.messages.push_back(s + "|" + (messageLen ? r.Counted(messageLen) : ""));
    });
    w.end = r.pos;
    return w;
}

SimProfile SmallProfile() {
    SimProfile p;
    p.model = 4;
    p.controls.push_back(
        {59, 1, 0x0100, 0x00012345, 0, 255, -100, 100, "Red#R", "ab", {{"Lo", "High"}}});
    p.switches.push_back({161, 2, 0, 0, 0, 1, "", {"Off#1", "On"}});
    SimMenu menu{3, 1, 0x0400, {59, 60, 128, 128, 128, 128, 128, 128}, {}, "Main", "Main\nmenu"};
    menu.items = {10, 11, 12, 13, 14, 15, 161, 162, 163, 164, 165, 166, 167, 168};
    p.menus.push_back(menu);
    p.messages.push_back({7, 0x4000, "Saved", "File saved."});
    return p;
}

TEST(BlobEncoder, SmallProfileEntriesByteForByte) {
    const Bytes blob = EncodeMenuBlob(SmallProfile());
    ASSERT_EQ(blob.size(), 282u);
    EXPECT_EQ(Slice(blob, 0, 6), (Bytes{0x4B, 0x56, 0x34, 0x01, 0x00, 0x01}));
    EXPECT_EQ(Slice(blob, 6, 50),
              (Bytes{0x00, 0x19, 0x00, 0x3B, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x23, 0x45, 0x00,
                     0x00, 0x00, 0xFF, 0xFF, 0x9C, 0x00, 0x64, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                     0x00, 0x01, 'R',  'e',  'd',  '#',  'R',  0x00, 'a',  'b',  0x00, 0x00, 0x00,
                     0x01, 0x00, 0x01, 0x00, 0x02, 'L',  'o',  'H',  'i',  'g',  'h'}));
    // Two switch entries: the real one and the last one the panel skips.
    EXPECT_EQ(Slice(blob, 56, 46),
              (Bytes{0x00, 0x02, 0x00, 0x14, 0x00, 0xA1, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x80, 0x00,
                     0x00, 0x03, 0x00, 0x00, 'O',  'f',  'f',  '#',  '1',  0x00, 0x80, 0x01,
                     0x00, 0x01, 0x00, 0x00, 'O',  'n',  0x00, 0x02, 0x00, 0xFF}));
    // Model 4 menus hold 12 item slots: the last two items of the profile are dropped.
    EXPECT_EQ(Slice(blob, 102, 78),
              (Bytes{0x00, 0x01, 0x00, 0x26, 0x00, 0x03, 0x00, 0x01, 0x04, 0x00, 0x00, 0x3B, 0x00,
                     0x3C, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80,
                     0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x0B, 0x00,
                     0x0C, 0x00, 0x0D, 0x00, 0x0E, 0x00, 0x0F, 0x00, 0xA1, 0x00, 0xA2, 0x00, 0xA3,
                     0x00, 0xA4, 0x00, 0xA5, 0x00, 0xA6, 0x00, 0x02, 0x00, 0x05, 0x00, 0x00, 'M',
                     'a',  'i',  'n',  'M',  'a',  'i',  'n',  '\r', '\n', 'm',  'e',  'n',  'u'}));
    // Five skipped sections of one entry each, 2 to 6 words long.
    EXPECT_EQ(Slice(blob, 180, 50),
              (Bytes{0x00, 0x01, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x03, 0xFF, 0x01, 0xFF,
                     0x01, 0x00, 0x01, 0x00, 0x04, 0xFF, 0x02, 0xFF, 0x02, 0xFF, 0x02, 0x00, 0x01,
                     0x00, 0x05, 0xFF, 0x03, 0xFF, 0x03, 0xFF, 0x03, 0xFF, 0x03, 0x00, 0x01, 0x00,
                     0x06, 0xFF, 0x04, 0xFF, 0x04, 0xFF, 0x04, 0xFF, 0x04, 0xFF, 0x04}));
    EXPECT_EQ(
        Slice(blob, 230, 52),
        (Bytes{0x00, 0x01, 0x00, 0x19, 0x00, 0x07, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00,
               0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'S',  'a',  'v',  'e',  'd',  0x00,
               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
               0x06, 'F',  'i',  'l',  'e',  ' ',  's',  'a',  'v',  'e',  'd',  '.',  0x00}));

    const Walked w = Walk(blob, 12);
    EXPECT_EQ(w.messageSection, 230u);
    EXPECT_EQ(w.end, blob.size());
}

TEST(BlobEncoder, OtherModelsGetTwentyItemSlots) {
    SimProfile p;
    p.model = 11;
    p.menus.push_back(
        {3, 1, 0x0400, {59, 60, 128, 128, 128, 128, 128, 128}, {1, 2, 161}, "Main", "Main\nmenu"});
    const Bytes blob = EncodeMenuBlob(p);
    // No controls; a switch section of only the skipped entry; then the menu.
    EXPECT_EQ(Slice(blob, 4, 10), (Bytes{0, 0, 0, 1, 0, 2, 0, 0xFF, 0, 1}));
    Bytes menu{0x00, 0x2E, 0x00, 0x03, 0x00, 0x01, 0x04, 0x00, 0x00, 0x3B, 0x00, 0x3C};
    for (int k = 0; k < 6; ++k)
        menu.insert(menu.end(), {0x00, 0x80});
    menu.insert(menu.end(), 8, 0x00);
    menu.insert(menu.end(), {0x00, 0x01, 0x00, 0x02, 0x00, 0xA1});
    for (int k = 0; k < 17; ++k)
        menu.insert(menu.end(), {0x00, 0xFF});
    menu.insert(menu.end(), {0x00, 0x02, 0x00, 0x05, 0x00, 0x00, 'M', 'a', 'i', 'n',
                             'M',  'a',  'i',  'n',  '\r', '\n', 'm', 'e', 'n', 'u'});
    ASSERT_EQ(menu.size(), 92u);
    EXPECT_EQ(Slice(blob, 14, 92), menu);
    const Walked w = Walk(blob, 20);
    ASSERT_EQ(w.menuItems.size(), 1u);
    EXPECT_EQ(w.menuItems[0][2], 161);
    EXPECT_EQ(w.menuItems[0][19], 255);
    EXPECT_EQ(w.end, blob.size());
}

// Texts with nothing or something after them, and entries without texts: the panel's zero
// skipping must stop inside each entry and land on the pairs and states.
TEST(BlobEncoder, TextPaddingLeadsThePanelToPairsAndStates) {
    SimProfile p;
    p.model = 7;
    p.controls = {
        {1, 0, 0, 0, 0, 1, 0, 1, "Key\nGain", "", {}},
        {2, 0, 0, 0, 0, 1, 0, 1, "", "", {{"x", "y"}, {"", ""}, {"Left", "Right"}}},
        {3, 0, 0, 0, 0, 1, 0, 1, "", "only", {}},
        {4, 0, 0, 0, 0, 1, 0, 1, "", "", {}},
        {5, 0, 0, 0, 0, 1, 0, 1, "Odd", "", {{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", "h"}}}};
    p.switches = {{128, 0, 0, 0, 0, 2, "Mode", {"A", "Bee", "C"}},
                  {129, 0, 0, 0, 0, 0, "Alone", {}},
                  {130, 0, 0, 0, 0, 0, "", {}}};
    p.messages = {{1, 0, "", "Just a message"}, {2, 0x4000, "Ask", ""}};
    const Bytes blob = EncodeMenuBlob(p);
    const Walked w = Walk(blob, 12);
    EXPECT_EQ(w.controls, (std::vector<std::string>{"Key\r\nGain|-", "-||x/y|/|Left/Right",
                                                    "-|only", "-|-", "Odd|-|a/b|c/d|e/f"}));
    EXPECT_EQ(w.switches, (std::vector<std::string>{"Mode|A,Bee,C", "Alone|", "-|"}));
    EXPECT_EQ(w.messages, (std::vector<std::string>{"0:|Just a message", "16384:Ask|"}));
    EXPECT_EQ(w.end, blob.size());
    // Control 1 ends on the guard word after its padded name: "Key\r\nGain" 0 0, then 00 01.
    EXPECT_EQ(Slice(blob, 6, 2), (Bytes{0x00, 0x14}));
    EXPECT_EQ(Slice(blob, 6 + 28, 12),
              (Bytes{'K', 'e', 'y', '\r', '\n', 'G', 'a', 'i', 'n', 0x00, 0x00, 0x01}));
    EXPECT_EQ(blob[6 + 40], 0x00);  // control 2's length word follows
}

TEST(BlobEncoder, StaysWithinThePanelsBlock) {
    SimProfile p = SmallProfile();
    for (int i = 0; i < 600; ++i)
        p.messages.push_back({i % 200, 0, "", std::string(200, 'm')});
    const Bytes blob = EncodeMenuBlob(p);
    ASSERT_LE(blob.size(), 65536u);
    EXPECT_GT(blob.size() + 232, 65536u);  // one more 232-byte message would not fit
    const Walked w = Walk(blob, 12);
    EXPECT_EQ(w.controls.size(), 1u);
    EXPECT_EQ(w.switches.size(), 1u);
    EXPECT_EQ(w.messages.size(), 1 + (blob.size() - 282) / 232);
    EXPECT_EQ(w.end, blob.size());
}

}  // namespace
