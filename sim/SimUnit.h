#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimAnswer.h"
#include "sim/SimProfile.h"

// Named ways a simulated unit can go wrong on the link.
enum class SimCorruption {
    None,
    WrongCode,        // the answer code is not the one the command expects
    WrongType,        // type 8 instead of 9
    Oversize,         // L says 262 (256 data bytes)
    CountBeyondData,  // C says more data than L carries
    CutShort,         // the answer stops after its header
};

struct SimUnitFaults {
    int answersLeft = -1;     // answers still given before the unit falls silent; -1 = no limit
    int slowStatusReads = 0;  // status reads before each answer is ready (on top of the port's)
    SimCorruption corruption = SimCorruption::None;
    int corruptCommand = -1;  // only answers to this command code; -1 = every command
    int corruptCount = -1;    // answers still to corrupt; -1 = every one
};

// One keyer Main Unit: answers every command of the link and changes its state the way a
// real unit would. Its controls, switches and menus come from a profile.
class SimUnit {
public:
    explicit SimUnit(const SimProfile& profile);

    // A whole long-form request as received; the answer's bytes on the wire, or nothing.
    std::optional<std::vector<uint8_t>> Handle(const std::vector<uint8_t>& packet);

    // What happens at the unit itself. A linked setting moves with either of its two ids.
    void ChangeControl(int id, int value);  // an operator turns a control on the unit
    void ChangeSwitch(int id, int value);
    // The unit is starting after a power cycle: it hears requests but answers none until
    // `identifies` identify requests have gone by.
    void StartUp(int identifies) { m_startUpIdentifies = identifies; }
    bool StartingUp() const { return m_startUpIdentifies > 0; }
    void SetTally(bool on);
    void SetReferenceVideo(bool present);
    void SetBootMode(bool on);
    void SetBusyIdentifies(int count) { m_busyIdentifies = count; }
    // Posts message n of the profile (100 = the unit's own text) for the panel to show.
    void PostMessage(int number) { m_messageNumber = static_cast<uint8_t>(number); }
    void SetUnitText(const std::string& text) { m_unitText = text; }

    SimUnitFaults& Faults() { return m_faults; }

    // What tests and the console look at.
    const SimProfile& Profile() const { return m_profile; }
    uint8_t Flags() const { return m_flags; }
    uint8_t MessageNumber() const { return m_messageNumber; }
    int ControlValue(int id) const { return m_values[id]; }
    int SwitchValue(int id) const { return m_switchValues[id - 128]; }
    uint8_t ControlLock(int id) const { return m_controlLocks[id]; }
    uint8_t SwitchLock(int id) const { return m_switchLocks[id - 128]; }
    const std::vector<SimFile>& Files() const { return m_files; }
    const std::vector<SimFile>& UserFiles() const { return m_userFiles; }
    const std::vector<SimEffect>& Effects() const { return m_effects; }
    std::vector<SimEffect>& Effects() { return m_effects; }
    const std::vector<SimGpiSequence>& GpiSequences() const { return m_gpi; }
    int RunningEffect() const { return m_runningEffect; }
    const std::vector<uint8_t>& Blob();
    int Received(uint8_t code) const;
    int Malformed() const { return m_malformed; }
    int LastReply() const { return m_lastReply; }

    // The settings snapshot a file carries: its name, then every value.
    std::vector<uint8_t> Snapshot(const std::string& name) const;

private:
    using Params = std::vector<uint8_t>;
    std::optional<SimAnswer> Dispatch(uint8_t code, const Params& p,
                                      const std::vector<uint8_t>& packet);
    std::optional<std::vector<uint8_t>> ApplyFaults(uint8_t code, SimAnswer answer);

    // Identity and values.
    SimAnswer Identify();
    SimAnswer Values(bool second, bool rest);
    SimAnswer Adjust(const Params& p);
    // On air with the lockout on, a locked control or switch keeps its value.
    bool HeldByLockout(int id) const;
    SimAnswer Set(const Params& p);
    // Values are stored through these: they clamp, and a linked setting follows.
    void StoreControl(int id, int value);
    void StoreSwitch(int id, int value);
    void KeepLinksInStep();
    // The other id of a linked setting (control 0..128 or switch 128..255), -1 when none.
    int Partner(int id) const;
    // The value-update list for id, then for its partner.
    std::vector<uint8_t> Updates(int id) const;
    // The movement command 129 gives a control, after the firmware's scaling.
    int ScaledDelta(int id, int delta);
    // Streams of several answers (lists, blob, file contents).
    SimAnswer OpenStream(std::vector<uint8_t> bytes, uint8_t followCode, uint8_t more, uint8_t last,
                         size_t chunk);
    SimAnswer NextChunk(uint8_t followCode);
    SimAnswer MenuBlobChunk();
    // Files.
    SimAnswer SaveFile(const std::vector<uint8_t>& packet, bool withMenus);
    SimAnswer LoadFile(uint8_t number, bool withMenus);
    SimAnswer DeleteFile(uint16_t fileId, bool user);
    SimAnswer OpenFileData(uint8_t number);
    SimAnswer WriteChunk(const std::vector<uint8_t>& packet);
    void ApplySnapshot(const std::vector<uint8_t>& contents);
    // Effects and GPI.
    SimAnswer Effect(const Params& p);
    SimAnswer Assignments(const Params& p);
    SimAnswer Keyframe(const Params& p);
    SimAnswer Gpi(const Params& p);
    SimAnswer GpiEvent(const Params& p);
    SimAnswer GpiStatus();
    // Per-input GPI settings: the dwell, enable and high-enable values of one input.
    using GpiInput = std::array<int, 3>;
    void FindGpiInputSettings();
    GpiInput LiveGpiInput() const;
    // The select control moved from input `from` to input `to`: the three settings follow.
    void SelectGpiInput(int from, int to);
    // Locks and texts.
    SimAnswer LockTable();
    SimAnswer SetLock(const Params& p);
    SimAnswer Title();
    SimAnswer UnitText();
    SimAnswer Reply(const Params& p);
    SimAnswer UnitInfo();

    SimEffect* FindEffect(int id);
    SimFile* FindFile(std::vector<SimFile>& files, int number);

    SimProfile m_profile;
    std::vector<uint8_t> m_blob;
    SimUnitFaults m_faults;

    uint8_t m_flags = 0;
    uint8_t m_messageNumber = 0;
    uint8_t m_currentMenu = 0;
    int m_busyIdentifies = 0;
    int m_startUpIdentifies = 0;
    std::string m_unitText;

    std::array<int16_t, 129> m_values{};
    std::array<uint16_t, 129> m_values2{};
    std::array<int, 129> m_min{}, m_max{}, m_reset{};
    std::array<uint8_t, 128> m_switchValues{};
    std::array<uint8_t, 128> m_switchValues2{};
    std::array<int, 128> m_switchMin{}, m_switchMax{};
    std::array<bool, 129> m_stepped{};
    std::array<int64_t, 129> m_adjustRest{};  // scaled movement not yet a whole value
    std::array<int, 129> m_linkedSwitch{};    // 0: none
    std::array<int, 129> m_linkOffset{};
    std::array<int, 128> m_linkedControl{};  // by switch index; -1: none
    std::array<uint8_t, 128> m_controlLocks{};
    std::array<uint8_t, 128> m_switchLocks{};

    std::vector<SimFile> m_files, m_userFiles;
    std::vector<SimEffect> m_effects;
    std::vector<SimGpiSequence> m_gpi;
    int m_runningEffect = 0;
    int m_gpiWaitingAnswers = 0;
    int m_gpiSelect = -1;  // -1: the unit keeps one set of GPI settings for all inputs
    int m_gpiDwell = -1;
    int m_gpiEnable = -1;
    int m_gpiHigh = -1;
    GpiInput m_gpiStartInput{};
    std::map<int, GpiInput> m_gpiInputs;  // by select value; the selected one is live

    struct Stream {
        std::vector<uint8_t> bytes;
        size_t at = 0;
        size_t chunk = 0;
        uint8_t more = 0, last = 0;
    };
    std::map<uint8_t, Stream> m_streams;  // by follow-on request code
    size_t m_blobAt = 0;
    std::vector<uint8_t> m_incoming;  // a file being written by another unit's panel
    bool m_incomingOpen = false;
    bool m_lockTableSecond = false;

    std::map<uint8_t, int> m_received;
    int m_malformed = 0;
    int m_lastReply = -1;
};
