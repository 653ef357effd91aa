#include "platform/Pcapng.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr uint32_t kInterface = 1;
constexpr uint32_t kSimplePacket = 3;
constexpr uint32_t kEnhancedPacket = 6;
constexpr uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr uint32_t kByteOrderSwapped = 0x4D3C2B1A;
constexpr uint16_t kOptionEnd = 0;
constexpr uint16_t kOptionApplication = 4;  // shb_userappl
constexpr uint16_t kOptionName = 2;         // if_name
constexpr size_t kBlockFrame = 12;          // type, length, trailing length
constexpr size_t kEnhancedFixed = 20;       // interface, two time halves, two lengths
constexpr size_t kMaxOptionText = 200;

size_t Padded(size_t length) {
    return (length + 3) & ~size_t{3};
}

// Little-endian output into the writer's fixed block buffer, which holds the largest block.
class BlockBuilder {
public:
    explicit BlockBuilder(uint8_t* to) : m_to(to) {}
    void U16(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        Bytes(b, 2);
    }
    void U32(uint32_t v) {
        const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                              static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        Bytes(b, 4);
    }
    void Bytes(const uint8_t* bytes, size_t length) {
        std::memcpy(m_to + m_at, bytes, length);
        m_at += length;
    }
    void Pad() {
        while (m_at % 4)
            m_to[m_at++] = 0;
    }
    void Option(uint16_t code, const std::string& text) {
        const size_t length = std::min(text.size(), kMaxOptionText);
        U16(code);
        U16(static_cast<uint16_t>(length));
        Bytes(reinterpret_cast<const uint8_t*>(text.data()), length);
        Pad();
    }
    // Writes the block's total length into its second word and at its end.
    size_t Finish() {
        const uint32_t total = static_cast<uint32_t>(m_at + 4);
        U32(total);
        const size_t end = m_at;
        m_at = 4;
        U32(total);
        m_at = end;
        return end;
    }

private:
    uint8_t* m_to;
    size_t m_at = 0;
};

}  // namespace

bool CPcapngWriter::Open(const std::string& path, uint16_t linkType, const std::string& application,
                         uint64_t maxBytes, std::string* error) {
    Close();
    m_path = path;
    m_linkType = linkType;
    m_application = application;
    m_maxBytes = maxBytes;
    // What an earlier run left (a program restarted after a crash) is kept, as a full file is.
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) && existing.st_size > 0)
        return Rotate(error);
    return Start(error);
}

bool CPcapngWriter::Start(std::string* error) {
    m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        *error = "cannot write " + m_path + ": " + std::strerror(errno);
        return false;
    }
    m_size = 0;
    BlockBuilder section(m_block.data());
    section.U32(kSectionHeader);
    section.U32(0);
    section.U32(kByteOrderMagic);
    section.U16(1);  // version 1.0
    section.U16(0);
    section.U32(0xFFFFFFFF);  // section length unknown
    section.U32(0xFFFFFFFF);
    section.Option(kOptionApplication, m_application);
    section.U32(kOptionEnd);
    if (!Put(m_block.data(), section.Finish(), error)) return false;

    BlockBuilder interface(m_block.data());
    interface.U32(kInterface);
    interface.U32(0);
    interface.U16(m_linkType);
    interface.U16(0);
    interface.U32(0);  // no snapshot limit
    interface.Option(kOptionName, "kv4link");
    interface.U32(kOptionEnd);  // microsecond stamps, the format's default
    if (!Put(m_block.data(), interface.Finish(), error)) return false;
    m_headerBytes = m_size;
    return true;
}

bool CPcapngWriter::Put(const uint8_t* bytes, size_t length, std::string* error) {
    while (length > 0) {
        const ssize_t put = ::write(m_fd, bytes, length);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) {
            *error = "cannot write " + m_path + ": " + std::strerror(put < 0 ? errno : ENOSPC);
            Close();
            return false;
        }
        bytes += put;
        length -= static_cast<size_t>(put);
        m_size += static_cast<uint64_t>(put);
    }
    return true;
}

bool CPcapngWriter::Rotate(std::string* error) {
    Close();
    const std::string older = m_path + ".1";
    // A file taken away meanwhile (to send it) leaves nothing to keep.
    if (std::rename(m_path.c_str(), older.c_str()) != 0 && errno != ENOENT) {
        *error = "cannot rename " + m_path + " to " + older + ": " + std::strerror(errno);
        return false;
    }
    return Start(error);
}

bool CPcapngWriter::Write(uint64_t timeUs, const uint8_t* data, size_t length, std::string* error) {
    if (m_fd < 0) {
        *error = "the trace file is closed";
        return false;
    }
    const size_t captured = std::min(length, kMaxPacket);
    const size_t blockLength = kBlockFrame + kEnhancedFixed + Padded(captured);
    // A file holds at least one packet, however small the bound.
    const bool holdsPackets = m_size > m_headerBytes;
    if (holdsPackets && m_size + blockLength > m_maxBytes && !Rotate(error)) return false;
    BlockBuilder block(m_block.data());
    block.U32(kEnhancedPacket);
    block.U32(0);
    block.U32(0);  // the one interface
    block.U32(static_cast<uint32_t>(timeUs >> 32));
    block.U32(static_cast<uint32_t>(timeUs));
    block.U32(static_cast<uint32_t>(captured));
    block.U32(static_cast<uint32_t>(length));
    block.Bytes(data, captured);
    block.Pad();
    return Put(m_block.data(), block.Finish(), error);
}

void CPcapngWriter::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

namespace {

// Reads the words of one section in its byte order.
struct SectionReader {
    const uint8_t* bytes;
    bool swapped = false;
    uint32_t U32(size_t at) const {
        uint32_t v;
        std::memcpy(&v, bytes + at, 4);
        return swapped ? __builtin_bswap32(v) : v;
    }
    uint16_t U16(size_t at) const {
        uint16_t v;
        std::memcpy(&v, bytes + at, 2);
        return swapped ? __builtin_bswap16(v) : v;
    }
};

}  // namespace

bool ParsePcapng(const uint8_t* bytes, size_t size, std::vector<PcapngPacket>* packets,
                 std::string* error) {
    SectionReader in{bytes};
    std::vector<uint16_t> interfaces;
    bool inSection = false;
    size_t at = 0;
    while (at < size) {
        if (size - at < kBlockFrame) {
            *error = "a block is cut short at byte " + std::to_string(at);
            return false;
        }
        uint32_t type;
        std::memcpy(&type, bytes + at, 4);  // the section header's type reads alike both ways
        if (type == kSectionHeader) {
            if (size - at < kBlockFrame + 16) {
                *error = "the section header is cut short";
                return false;
            }
            uint32_t magic;
            std::memcpy(&magic, bytes + at + 8, 4);
            if (magic != kByteOrderMagic && magic != kByteOrderSwapped) {
                *error = "not a pcapng file (no byte-order mark)";
                return false;
            }
            in.swapped = magic == kByteOrderSwapped;
            interfaces.clear();
            inSection = true;
        } else {
            type = in.U32(at);
        }
        if (!inSection) {
            *error = "not a pcapng file (no section header first)";
            return false;
        }
        const uint32_t length = in.U32(at + 4);
        if (length < kBlockFrame || length % 4 != 0 || length > size - at ||
            in.U32(at + length - 4) != length) {
            *error = "a block's length does not hold at byte " + std::to_string(at);
            return false;
        }
        const size_t body = at + 8;
        const size_t bodyLength = length - kBlockFrame;
        if (type == kInterface && bodyLength >= 8) {
            interfaces.push_back(in.U16(body));
        } else if (type == kEnhancedPacket && bodyLength >= kEnhancedFixed) {
            const uint32_t interface = in.U32(body);
            const uint32_t captured = in.U32(body + 12);
            if (interface >= interfaces.size() || captured > bodyLength - kEnhancedFixed) {
                *error = "a packet block does not hold at byte " + std::to_string(at);
                return false;
            }
            const uint8_t* data = bytes + body + kEnhancedFixed;
            packets->push_back({interfaces[interface], {data, data + captured}});
        } else if (type == kSimplePacket && bodyLength >= 4 && !interfaces.empty()) {
            const size_t captured = std::min<size_t>(in.U32(body), bodyLength - 4);
            const uint8_t* data = bytes + body + 4;
            packets->push_back({interfaces[0], {data, data + captured}});
        }
        at += length;
    }
    if (!inSection) {
        *error = "the file is empty";
        return false;
    }
    return true;
}

bool ReadPcapngFile(const std::string& path, size_t maxBytes, std::vector<PcapngPacket>* packets,
                    std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    std::array<uint8_t, 65536> chunk;
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            *error = "cannot read " + path + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<size_t>(got) > maxBytes) {
            *error = path + " is larger than " + std::to_string(maxBytes / 1048576) + " MiB";
            ::close(fd);
            return false;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    ::close(fd);
    if (!ParsePcapng(bytes.data(), bytes.size(), packets, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}
