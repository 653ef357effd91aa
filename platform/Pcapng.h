#pragma once

// pcapng capture files with one interface, the format Wireshark and tshark read. The writer
// puts each packet out with a single write, so a crash keeps every packet before it, and
// starts a new file past a size bound. The reader takes a whole file in memory, in either byte
// order, and checks every length against what is there.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Link types of the pcapng interface block.
inline constexpr uint16_t kLinkTypeUser0 = 147;

class CPcapngWriter {
public:
    // The largest packet a block carries in full; a longer one is cut, its length kept.
    static constexpr size_t kMaxPacket = 1024;

    CPcapngWriter() = default;
    CPcapngWriter(const CPcapngWriter&) = delete;
    CPcapngWriter& operator=(const CPcapngWriter&) = delete;
    ~CPcapngWriter() { Close(); }

    // Creates path afresh with a section header naming application and one interface of
    // linkType. Once a packet would take the file past maxBytes, the file is renamed
    // path.1 (an older path.1 goes) and a new one starts; a file already at path (an earlier
    // run's) is kept the same way. False and the reason on failure.
    bool Open(const std::string& path, uint16_t linkType, const std::string& application,
              uint64_t maxBytes, std::string* error);
    // One packet stamped timeUs microseconds after the epoch. False and the reason when the
    // file cannot take it; the writer is closed then.
    bool Write(uint64_t timeUs, const uint8_t* data, size_t length, std::string* error);
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    // Bytes in the present file.
    uint64_t Size() const { return m_size; }

private:
    bool Start(std::string* error);
    bool Put(const uint8_t* bytes, size_t length, std::string* error);
    bool Rotate(std::string* error);

    int m_fd = -1;
    uint64_t m_size = 0;
    uint64_t m_headerBytes = 0;  // the section and interface blocks that start each file
    uint64_t m_maxBytes = 0;
    uint16_t m_linkType = 0;
    std::string m_path;
    std::string m_application;
    std::array<uint8_t, kMaxPacket + 64> m_block{};
};

// One packet of a pcapng file.
struct PcapngPacket {
    uint16_t linkType = 0;  // of the interface it was captured on
    std::vector<uint8_t> data;
};

// Every packet of the file's sections (enhanced and simple packet blocks), in file order.
// False and the reason when the file is not pcapng or a block does not fit; the packets
// before the fault stay in *packets.
bool ParsePcapng(const uint8_t* bytes, size_t size, std::vector<PcapngPacket>* packets,
                 std::string* error);
// Reads path whole (at most maxBytes) and parses it.
bool ReadPcapngFile(const std::string& path, size_t maxBytes, std::vector<PcapngPacket>* packets,
                    std::string* error);
