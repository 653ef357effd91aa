// Files and user files held on the units: lists, save, load, delete, and the contents of a
// file carried from one unit to another.

#include <algorithm>
#include <cstring>

#include "link/CommandCore.h"
#include "platform/Clock.h"

namespace {

constexpr int kSaveWithMenusLength = 234;
constexpr int kSaveNameAt = 9;
constexpr int kSaveMenusAt = 35;
constexpr int kCustomMenusInFile = 4;  // custom menus 1..4 travel with a user file
constexpr int kBlockButtonsAt = 20;
constexpr int kLoadMenusAt = 2;  // data position of the first block in a load answer
constexpr uint8_t kUnitEmptyButton = 255;
constexpr int kFileWritePauseMs = 100;

// The entries of a list as they come: a word, a second word and a 24-byte name.
template <typename Entry, size_t N>
uint32_t ParseFileEntries(const uint8_t* bytes, uint32_t length, std::array<Entry, N>& table) {
    uint32_t stored = 0;
    for (uint32_t at = 0; stored < N && at + kWireEntrySize <= length; at += kWireEntrySize) {
        Entry& entry = table[stored++];
        entry.fileId = Word(bytes + at);
        entry.word2 = Word(bytes + at + 2);
        std::memcpy(entry.name, bytes + at + 4, kNameLength);
    }
    return stored;
}

// Request header of the save requests; they carry no 0xFF at the end.
void SaveHeader(Request& request, int length, uint8_t code, uint16_t menu, uint16_t fileWord) {
    request.bytes[0] = kLongRequest;
    request.bytes[1] = static_cast<uint8_t>(length);
    request.bytes[2] = static_cast<uint8_t>(g_selectedUnit + kAddressOffset);
    request.bytes[3] = static_cast<uint8_t>(length - 5);
    request.bytes[4] = code;
    request.bytes[5] = static_cast<uint8_t>(fileWord >> 8);
    request.bytes[6] = static_cast<uint8_t>(fileWord & 0xFF);
    request.bytes[7] = static_cast<uint8_t>(menu >> 8);
    request.bytes[8] = static_cast<uint8_t>(menu & 0xFF);
}

// Custom menus 1..4 of the selected unit as 50-byte blocks; the last block is cut where the
// request ends.
void PutCustomMenus(Request& request) {
    const int unit = UnitNumber(g_selectedUnit);
    for (int m = 1; m <= kCustomMenusInFile; ++m) {
        uint8_t* block = request.bytes + kSaveMenusAt + kCustomMenuBlockSize * (m - 1);
        std::memcpy(block, g_customKnobs[unit][m].data(), kCustomKnobs);
        for (int b = 0; b < kCustomButtons; ++b) {
            const uint8_t index = g_customButtons[unit][m][b];
            // An empty button travels as 255, as the unit writes it into its own files.
            block[kBlockButtonsAt + b] = index == kNoSwitch ? kUnitEmptyButton : index;
        }
    }
}

// The four blocks lie inside the receive buffer; what the unit did not send reads as 0.
static_assert(kRespData + kLoadMenusAt + kCustomMenuBlockSize * (kCustomMenusInFile - 1) +
                  kBlockButtonsAt + kCustomButtons <=
              kResponseSize);

// A file may carry any byte in its blocks (written by another model, or damaged). Every reader
// of the custom menus indexes the control and switch tables with them, so a byte that names no
// control (above 128) or no switch of the unit's (127 and above: the empty button, the panel's
// own effect switches, bytes past the table) becomes an empty slot here, where they come in.
void TakeCustomMenus(const uint8_t* data) {
    const int unit = UnitNumber(g_selectedUnit);
    for (int m = 1; m <= kCustomMenusInFile; ++m) {
        const uint8_t* block = data + kLoadMenusAt + kCustomMenuBlockSize * (m - 1);
        for (int k = 0; k < kCustomKnobs; ++k)
            g_customKnobs[unit][m][k] = block[k] < kNoControl ? block[k] : kNoControl;
        for (int b = 0; b < kCustomButtons; ++b) {
            // The unit sends 255 for an empty button; the panel's tables use 127.
            const uint8_t index = block[kBlockButtonsAt + b];
            g_customButtons[unit][m][b] = index < kNoSwitch ? index : kNoSwitch;
        }
    }
}

}  // namespace

LinkStatus ReadFileList(FileList which) {
    const bool user = which == FileList::UserFiles;
    const MultiRead read =
        user ? ListRead(kCmdUserFileListOpen, kCmdUserFileListMore, kRespUserFileListMore,
                        kRespUserFileListLast)
             : ListRead(kCmdFileListOpen, kCmdFileListMore, kRespFileListMore, kRespFileListLast);
    std::array<uint8_t, kMaxFiles * kWireEntrySize> accumulator{};
    uint32_t length = 0;
    const LinkStatus status =
        ReadMultiAnswer(read, accumulator.data(), accumulator.size(), &length);
    uint32_t& count = user ? g_userFileCount : g_fileCount;
    // A list that was not read holds nothing: the entries of an earlier read may be another
    // unit's, and their ids would name other files on this one.
    count = 0;
    if (status != kLinkOk) return status;
    if (user)
        count = ParseFileEntries(accumulator.data(), length, g_userFiles);
    else
        count = ParseFileEntries(accumulator.data(), length, g_files);
    return kLinkOk;
}

LinkStatus SaveFile(const std::string& name, uint16_t menu, uint16_t fileWord, bool withMenus) {
    // Names are at most 23 characters; a longer one would overrun the name field (and, without
    // custom menus, the length byte).
    const size_t nameLength = std::min(name.size(), size_t{kMaxFileNameChars});
    Request request;
    if (withMenus) {
        SaveHeader(request, kSaveWithMenusLength, kCmdSaveFileWithMenus, menu, fileWord);
        std::memcpy(request.bytes + kSaveNameAt, name.data(), nameLength);
        PutCustomMenus(request);
        request.bytes[kSaveWithMenusLength - 1] = 0;  // the fourth block ends after byte 48
    } else {
        const int length = static_cast<int>(nameLength) + 10;
        SaveHeader(request, length, kCmdSaveFile, menu, fileWord);
        std::memcpy(request.bytes + kSaveNameAt, name.data(), nameLength);
        request.bytes[kSaveNameAt + nameLength] = 0;  // the name's zero is the last byte sent
    }
    ResponseBuffer rx;
    if (LinkStatus status = Exchange(request, rx, kSpinNormal)) return status;
    return CheckType(rx);
}

LinkStatus LoadFile(uint8_t file, bool withMenus) {
    ResponseBuffer rx;
    const uint8_t code = withMenus ? kCmdLoadFileWithMenus : kCmdLoadFile;
    const uint8_t expect = withMenus ? kRespLoadedWithMenus : kRespFileLoaded;
    if (LinkStatus status =
            SimpleExchange(LongRequest(g_selectedUnit, code, {file}), rx, kSpinEdit, expect))
        return status;
    if (withMenus) TakeCustomMenus(Data(rx));
    return kLinkOk;
}

LinkStatus DeleteFile(uint16_t fileId, bool user) {
    ResponseBuffer rx;
    const Request request =
        LongRequest(g_selectedUnit, user ? kCmdDeleteUserFile : kCmdDeleteFile,
                    {static_cast<uint8_t>(fileId >> 8), static_cast<uint8_t>(fileId & 0xFF)});
    return SimpleExchange(request, rx, kSpinEdit, user ? kRespUserFileDeleted : kRespFileDone);
}

LinkStatus ReadFileData(uint8_t file) {
    const MultiRead read = {LongRequest(g_selectedUnit, kCmdFileDataOpen, {file}),
                            LongRequest(g_selectedUnit, kCmdFileDataRead, {file}),
                            kRespFileDataMore, kRespFileDataLast};
    return ReadMultiAnswer(read, g_transferBuffer.data(), g_transferBuffer.size(),
                           &g_transferLength);
}

LinkStatus WriteFileData(UnitAddress address) {
    UnitIdentity scratch;
    Identify(address, scratch);
    // The unit opens the file for writing; it does not answer this request.
    if (LinkStatus status = SendPacket(LongRequest(address, kCmdFileDataWrite, {0xFF}).bytes))
        return status;
    DelayMs(kFileWritePauseMs);

    const uint32_t total = std::min<uint32_t>(g_transferLength, kTransferBufferSize);
    uint32_t sent = 0;
    do {
        const int size = static_cast<int>(std::min<uint32_t>(kFileChunkSize, total - sent));
        // A chunk has no 0xFF terminator, and byte 3 holds the chunk size itself.
        Request chunk;
        chunk.bytes[0] = kLongRequest;
        chunk.bytes[1] = static_cast<uint8_t>(size + 5);
        chunk.bytes[2] = static_cast<uint8_t>(address + kAddressOffset);
        chunk.bytes[3] = static_cast<uint8_t>(size);
        chunk.bytes[4] = kCmdFileDataChunk;
        std::memcpy(chunk.bytes + 5, g_transferBuffer.data() + sent, size);
        ResponseBuffer rx;
        if (LinkStatus status = Exchange(chunk, rx, kSpinNormal)) return status;
        if (LinkStatus status = CheckType(rx)) return status;
        if (rx[kRespCode] != kRespFileDone && rx[kRespCode] != kRespOpening)
            return CountedFailure(kLinkBadCode);
        sent += size;
    } while (sent < total);
    return kLinkOk;
}
