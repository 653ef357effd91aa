// Files and user files held by a simulated unit, and file contents carried between units.

#include <algorithm>

#include "sim/SimUnit.h"
#include "sim/SimWire.h"

using namespace simwire;

namespace {

constexpr size_t kNameField = 24;
constexpr size_t kMaxFiles = 100;
constexpr size_t kMaxContents = 2800;
constexpr size_t kContentsChunk = 254;
constexpr int kMenusAt = 35;  // first custom-menu block in a save request
constexpr int kBlockSize = 50;
constexpr int kBlockButtons = 20;
constexpr uint8_t kWireEmptyButton = 255;
constexpr uint8_t kEmptyButton = 127;

std::string NameAt(const std::vector<uint8_t>& bytes, size_t at, size_t limit) {
    std::string name;
    for (size_t i = at; i < bytes.size() && i < at + limit && bytes[i] != 0; ++i)
        name.push_back(static_cast<char>(bytes[i]));
    return name;
}

int NextId(const std::vector<SimFile>& files) {
    int id = 0;
    for (const SimFile& f : files)
        id = std::max(id, f.id & 0xFF);
    return id + 1;
}

}  // namespace

std::vector<uint8_t> SimUnit::Snapshot(const std::string& name) const {
    std::vector<uint8_t> bytes(kNameField, 0);
    std::copy_n(name.begin(), std::min(name.size(), kNameField - 1), bytes.begin());
    for (int16_t value : m_values) {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    bytes.insert(bytes.end(), m_switchValues.begin(), m_switchValues.end());
    return bytes;
}

void SimUnit::ApplySnapshot(const std::vector<uint8_t>& contents) {
    const size_t switchesAt = kNameField + 2 * m_values.size();
    if (contents.size() < switchesAt + m_switchValues.size()) return;
    for (size_t id = 0; id < m_values.size(); ++id)
        m_values[id] = static_cast<int16_t>(contents[kNameField + 2 * id] << 8 |
                                            contents[kNameField + 2 * id + 1]);
    std::copy_n(contents.begin() + switchesAt, m_switchValues.size(), m_switchValues.begin());
    // A file from a unit that keeps a setting apart: the control's value wins.
    KeepLinksInStep();
    m_flags |= 0x06;  // both value sets changed
}

SimFile* SimUnit::FindFile(std::vector<SimFile>& files, int number) {
    for (SimFile& f : files)
        if ((f.id & 0xFF) == number) return &f;
    return nullptr;
}

SimAnswer SimUnit::SaveFile(const std::vector<uint8_t>& packet, bool withMenus) {
    SimAnswer answer;
    answer.code = kDone;
    if (packet.size() < 10) return answer;
    const int fileWord = packet[5] << 8 | packet[6];
    m_currentMenu = packet[8];
    const std::string name = NameAt(packet, 9, withMenus ? kNameField : packet.size());
    std::vector<SimFile>& files = withMenus ? m_userFiles : m_files;

    SimFile* file = fileWord == 0xFFFF ? nullptr : FindFile(files, fileWord & 0xFF);
    if (!file) {
        if (files.size() >= kMaxFiles) return answer;
        files.push_back(SimFile{});
        file = &files.back();
        file->id = NextId(files);
    }
    file->name = name;
    file->contents = Snapshot(name);
    if (withMenus) {
        file->customMenus.assign(4, SimCustomMenu{});
        for (int m = 0; m < 4; ++m) {
            const size_t at = kMenusAt + kBlockSize * m;
            for (int k = 0; k < 8 && at + k < packet.size(); ++k)
                file->customMenus[m].knobs[k] = packet[at + k];
            for (int b = 0; b < 6 && at + kBlockButtons + b < packet.size(); ++b)
                file->customMenus[m].buttons[b] = packet[at + kBlockButtons + b];
        }
    }
    return answer;
}

SimAnswer SimUnit::LoadFile(uint8_t number, bool withMenus) {
    SimAnswer answer;
    SimFile* file = FindFile(withMenus ? m_userFiles : m_files, number);
    if (!file) {
        answer.code = kNotFound;
        return answer;
    }
    ApplySnapshot(file->contents);
    answer.code = withMenus ? kLoadedWithMenus : kLoaded;
    if (withMenus) {
        answer.data = {number, 0};
        for (int m = 0; m < 4; ++m) {
            std::vector<uint8_t> block(kBlockSize, 0);
            const SimCustomMenu menu = m < static_cast<int>(file->customMenus.size())
                                           ? file->customMenus[m]
                                           : SimCustomMenu{};
            std::copy(menu.knobs.begin(), menu.knobs.end(), block.begin());
            for (int b = 0; b < 6; ++b)
                block[kBlockButtons + b] =
                    menu.buttons[b] == kEmptyButton ? kWireEmptyButton : menu.buttons[b];
            answer.data.insert(answer.data.end(), block.begin(), block.end());
        }
    }
    return answer;
}

SimAnswer SimUnit::DeleteFile(uint16_t fileId, bool user) {
    std::vector<SimFile>& files = user ? m_userFiles : m_files;
    files.erase(std::remove_if(files.begin(), files.end(),
                               [fileId](const SimFile& f) { return f.id == fileId; }),
                files.end());
    SimAnswer answer;
    answer.code = user ? kUserDeleted : kDone;
    return answer;
}

SimAnswer SimUnit::OpenFileData(uint8_t number) {
    SimFile* file = FindFile(m_files, number);
    if (!file) {
        SimAnswer answer;
        answer.code = kNotFound;
        return answer;
    }
    return OpenStream(file->contents, kFileDataRead, kFileDataMore, kFileDataLast, kContentsChunk);
}

SimAnswer SimUnit::WriteChunk(const std::vector<uint8_t>& packet) {
    SimAnswer answer;
    answer.code = kDone;
    if (!m_incomingOpen) {
        answer.code = kNotFound;
        return answer;
    }
    const size_t size = std::min<size_t>(packet[3], packet.size() - 5);
    const size_t room = kMaxContents - std::min(kMaxContents, m_incoming.size());
    m_incoming.insert(m_incoming.end(), packet.begin() + 5,
                      packet.begin() + 5 + std::min(size, room));
    // Each chunk updates the file, so it is whole once the last chunk is in.
    if (m_incoming.size() < kNameField) return answer;
    const std::string name = NameAt(m_incoming, 0, kNameField);
    auto it = std::find_if(m_files.begin(), m_files.end(),
                           [&name](const SimFile& f) { return f.name == name; });
    if (it == m_files.end()) {
        if (m_files.size() >= kMaxFiles) return answer;
        SimFile file;
        file.id = NextId(m_files);
        file.name = name;
        m_files.push_back(file);
        it = m_files.end() - 1;
    }
    it->contents = m_incoming;
    return answer;
}
