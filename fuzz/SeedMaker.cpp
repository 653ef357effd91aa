// Writes the fuzzers' seed corpora from the simulator: what its units answer to each command,
// the blob of every shipped profile, a panel status, relayed frames, the shipped profiles, and
// a few configuration files. The committed corpora in fuzz/corpus were made with it.
// Usage: kv4_fuzz_seeds DIR  (creates DIR/<target> for every target)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <QFile>

#include "fuzz/UnitCommandsRun.h"
#include "link/EppLink.h"
#include "link/LinkTrace.h"
#include "platform/Clock.h"
#include "sim/BlobEncoder.h"
#include "sim/SimProfile.h"
#include "sim/SimRig.h"

namespace {

namespace fs = std::filesystem;

// The simulated rig's port, keeping every answer byte the panel reads off the data register.
class RecordingPort final : public PortIo {
public:
    explicit RecordingPort(PortIo& inner) : m_inner(inner) {}
    uint8_t Read(uint16_t port) override {
        const uint8_t value = m_inner.Read(port);
        if (port == kDataPort) bytes.push_back(static_cast<char>(value));
        return value;
    }
    void Write(uint16_t port, uint8_t value) override { m_inner.Write(port, value); }
    std::string bytes;

private:
    PortIo& m_inner;
};

void WriteTrace(const fs::path& path);

// Each client's text as reads of at most 64 bytes: a byte with the client in its low two bits
// and the read's length less one in its upper six, then the bytes.
void WriteRemote(const fs::path& path, const std::vector<std::pair<int, std::string>>& reads) {
    std::string out;
    for (const auto& [client, text] : reads)
        for (size_t at = 0; at < text.size(); at += 64) {
            const std::string piece = text.substr(at, 64);
            out.push_back(static_cast<char>((piece.size() - 1) << 2 | client));
            out += piece;
        }
    std::ofstream(path, std::ios::binary) << out;
}

void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

// What unit 1 of a fresh standard rig with profile answers to the calls of run.
template <typename Run>
std::string Answers(const SimProfile& profile, Run run) {
    static VirtualClock clock;
    SetClock(&clock);
    auto rig = SimRig::Standard();
    rig->PowerCycle(1, profile);
    // Let the unit finish starting up before the recording begins.
    for (int i = 0; i < SimRig::kStartUpIdentifies; ++i) {
        UnitIdentity id;
        SetPortIo(&rig->Port());
        Identify(0x10, id);
    }
    RecordingPort port(rig->Port());
    SetPortIo(&port);
    ResetPanelState();
    g_selectedUnit = 0x10;
    g_unitIdentity.ModelCode = profile.model;
    run();
    SetPortIo(nullptr);
    return port.bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv4_fuzz_seeds DIR\n");
        return 2;
    }
    const fs::path dir = argv[1];
    for (const char* target : {"menu_blob", "config", "unit_answers", "about_text", "sim_profile",
                               "bypass_relay", "surface", "link_trace", "remote_line"})
        fs::create_directories(dir / target);

    for (const std::string& name : ShippedProfileNames()) {
        const SimProfile profile = ShippedProfile(name);
        const uint8_t model = static_cast<uint8_t>(profile.model);

        // Blob: the identify and lock-table answers the parse reads, then the block.
        const std::string answers = Answers(profile, [] {
            UnitIdentity id;
            Identify(0x10, id);
            ReadLockTables();
        });
        const auto blob = EncodeMenuBlob(profile);
        std::string menu = Bytes({model, int(answers.size() & 0xFF), int(answers.size() >> 8)});
        menu += answers;
        menu.append(blob.begin(), blob.end());
        Write(dir / "menu_blob" / name, menu);
        // The same, its block filled to the last of its 64 KB with copies of the blob, so that
        // the mutations start at the full size.
        if (name == "cedar") {
            std::string full = menu;
            while (full.size() < 3 + answers.size() + sizeof(MenuBlock::bytes))
                full.append(blob.begin(), blob.end());
            full.resize(3 + answers.size() + sizeof(MenuBlock::bytes));
            Write(dir / "menu_blob" / "cedar-full-block", full);
        }

        for (int command = 0; command < kUnitCommandChoices; ++command) {
            const uint8_t param = command == 28 ? kCmdTitle : command == 29 ? kCmdUnitText : 3;
            const std::string seed = Bytes({command, model, param}) +
                                     Answers(profile, [&] { RunUnitCommand(command, param); });
            Write(dir / "unit_answers" / (name + "-" + std::to_string(command)), seed);
        }

        const std::string info = Answers(profile, [] {
            std::array<uint8_t, kUnitInfoLength> buffer;
            ReadUnitInfo(buffer);
        });
        const std::string message0 = profile.messages.empty() ? "" : profile.messages[0].message;
        Write(dir / "about_text" / name,
              Bytes({model, 0, int(std::min<size_t>(message0.size(), 255))}) +
                  message0.substr(0, 255) + info);

        const std::string frame = Bytes({0x02, 3, kCmdTitle, 0, 0, 0});
        const std::string relayed = Answers(profile, [&] {
            ResponseBuffer rx;
            PassThrough(reinterpret_cast<const uint8_t*>(frame.data()), rx);
        });
        Write(dir / "bypass_relay" / name, Bytes({int(frame.size()), 0}) + frame + relayed);

        QFile json(QString::fromStdString(":/sim/profiles/" + name + ".json"));
        if (json.open(QIODevice::ReadOnly))
            Write(dir / "sim_profile" / name, json.readAll().toStdString());
    }
    Write(dir / "bypass_relay" / "split",
          Bytes({9, 0, 0x55, 0x02, 1, 0xAC, 0x02, 0x00, 0x02, 2, 1}));

    // Panel status: type 1, length 25, five key rows, eight knobs, the fan running; then the
    // version answer.
    std::string status = Bytes({1, 25, 0, 0, 0x01, 0, 0, 0});
    for (int k = 0; k < 8; ++k)
        status += Bytes({k - 4, k < 4 ? 0xFF : 0});
    status += '\x01';
    Write(dir / "surface" / "knobs", status);
    std::string keys = Bytes({1, 25, 0x10, 0x02, 0x04, 0x08, 0x20, 0x40, 0x80});
    keys += std::string(25 - keys.size(), '\xff');
    Write(dir / "surface" / "keys", keys);

    Write(dir / "config" / "full",
          "[DISPLAY]\r\nSTATUS=OFF\r\n[MOUSE]\r\nVISIBLE=TRUE\r\n[ROUTER]\r\nENABLED=TRUE\r\n"
          "POLARITY=LOW\r\nDWELL_FRAMES=  25 frames\r\n[TALLY_UNIT_SELECT]\r\nENABLED=TRUE");
    Write(dir / "config" / "odd", "x\n[[ROUTER]]\nENABLED = TRUE\n[ ROUTER ]\n=\n[]\n[tally]\n");

    // What remote clients send, cut into reads of the fuzzer's framing.
    WriteRemote(dir / "remote_line" / "reading", {{2, "state\nstats\nhelp\nwatch\nunwatch\n"}});
    WriteRemote(dir / "remote_line" / "operating",
                {{0, "token kv4-token\r\nunit 3\nknob 0 400\nfunction 0\nmenu 1\n"},
                 {2, "state\n"},
                 {0, "dblclick 0\nknob 1 -80\nkey 0 0x10\nkey 3 4\nstate\n"}});
    WriteRemote(dir / "remote_line" / "rig",
                {{3, "sim unit 2 offline\nsim unit 2 online\nsim unit 1 fault wrong-code 2 172\n"},
                 {1, "token wrong\nstate\n"},
                 {3, "sim unit 1 tally on\nsim surface silent\nsim surface ok\nsim fan fail\n"},
                 {2, "sim unit 3 control 5 100\nsim unit 3 message 1\nunit 1\nstate\n"}});
    WriteRemote(dir / "remote_line" / "bad",
                {{2, std::string(1100, 'k') + "\nstate\xff\nknob 8 1\nmenu 1 2\nfrobnicate\n"},
                 {3, "STATE\n\n   \t\nunit\n"}});

    // A link trace of what the fuzzer's run sends: a reset and its wait, the four identifies
    // (unit 4 silent), the values of unit 3 with one answer too long, two status reads.
    WriteTrace(dir / "link_trace" / "session.pcapng");
    return 0;
}

namespace {

void WriteTrace(const fs::path& path) {
    static VirtualClock clock;
    SetClock(&clock);
    auto rig = SimRig::Standard();
    SetPortIo(&rig->Port());
    ResetPanelState();
    CLinkTrace trace;
    std::string error;
    if (!trace.Open(path.string(), kTraceDefaultMaxBytes, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    g_linkTrace = &trace;
    ResetLink();
    DelayMs(100);
    UnitIdentity identity;
    for (UnitAddress unit : {0x10, 0x20, 0x30, 0x40})
        Identify(unit, identity);
    g_selectedUnit = 0x30;
    rig->Unit(3)->Faults().corruption = SimCorruption::Oversize;
    rig->Unit(3)->Faults().corruptCount = 1;
    ReadValues();
    ResetLinkTwice();
    ReadValues();
    ReadPanelStatus();
    ReadPanelStatus();
    g_linkTrace = nullptr;
    trace.Close();
    SetPortIo(nullptr);
}

}  // namespace
