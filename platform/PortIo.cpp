#include "platform/PortIo.h"

namespace {

class UnconnectedPort final : public PortIo {
public:
    uint8_t Read(uint16_t) override { return 0xFF; }
    void Write(uint16_t, uint8_t) override {}
};

UnconnectedPort g_unconnected;

}  // namespace

namespace detail {
PortIo* g_portIo = &g_unconnected;
}

void SetPortIo(PortIo* port) {
    detail::g_portIo = port ? port : &g_unconnected;
}

PortIo& ThePortIo() {
    return *detail::g_portIo;
}
