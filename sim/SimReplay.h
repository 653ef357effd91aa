#pragma once

// The far end answering from a link trace the panel once wrote (--trace): each request to a
// unit or to the surface gets the next answer recorded for the same request bytes, in
// recording order, the last one repeating; a recorded silence stays silent. The simulator
// reads the trace with its own names for the packet layout, so that a slip on either side
// shows in the replay tests.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PcapngPacket;

class SimReplay {
public:
    struct Answer {
        bool silent = false;         // nothing goes back: no answer, or none was read
        std::vector<uint8_t> bytes;  // as they came off the data register
        int statusReads = 0;         // the status reads the panel made until it came
    };

    // Reads a trace file; false and the reason when it holds no usable link trace. A file
    // damaged after some packets is taken up to the damage, which Damage() then names.
    bool Load(const std::string& path, std::string* error);
    const std::string& Damage() const { return m_damage; }
    // Takes the packets of a trace already read; the same checks.
    bool Take(const std::vector<PcapngPacket>& packets, std::string* error);

    // The next recorded answer to a whole request as the far end received it; nullptr when
    // the trace never saw that request, or (for the surface's status read, whose answers
    // carry knob turns and key presses) when its recorded answers are used up.
    const Answer* Next(const std::vector<uint8_t>& request);

    size_t Requests() const { return m_entries.size(); }
    size_t Answers() const { return m_answers; }

private:
    struct Entry {
        std::vector<Answer> answers;
        size_t next = 0;
    };
    // By the request's bytes.
    std::map<std::string, Entry> m_entries;
    size_t m_answers = 0;
    std::string m_damage;
};
