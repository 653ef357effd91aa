// The unit's menu blob: whether it is ready, and its download.

#include <cstring>

#include "link/CommandCore.h"

LinkStatus QueryMenuReady() {
    ResponseBuffer rx;
    if (LinkStatus status =
            Exchange(LongRequest(g_selectedUnit, kCmdMenuReady, {}), rx, kSpinNormal))
        return status;
    if (LinkStatus status = CheckType(rx)) return status;
    if (rx[kRespLengthLow] != kMenuReadyLength) return CountedFailure(kLinkBadType);
    return CheckCode(rx, kRespOpening);
}

LinkStatus DownloadMenuBlob(MenuBlock& dest) {
    const Request request = LongRequest(g_selectedUnit, kCmdMenuBlob, {});
    ResponseBuffer rx;
    size_t offset = 0;
    // Each answer but the last brings at least one byte of the block from an honest unit; one
    // that keeps sending empty answers is cut off after as many answers as the block has bytes.
    for (size_t answers = 0; answers <= kMenuBlockSize; ++answers) {
        if (LinkStatus status = Exchange(request, rx, kSpinSet)) return status;
        if (LinkStatus status = CheckType(rx)) return status;
        if (rx[kRespCount] == 0) return CountedFailure(kLinkBadLength);
        const size_t count = static_cast<size_t>(DataCount(rx));
        if (count > kMenuBlockSize - offset) return CountedFailure(kLinkBadLength);
        std::memcpy(dest.bytes + offset, Data(rx), count);
        offset += count;
        if (rx[kRespCode] == kRespMenuBlobLast) return kLinkOk;
    }
    return CountedFailure(kLinkBadLength);
}
