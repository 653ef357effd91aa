#include "link/PanelHost.h"

CPanelHost::CPanelHost() : m_menuBlocks(std::make_unique<std::array<MenuBlock, kUnitSlots>>()) {
    for (MenuBlock& block : *m_menuBlocks)
        block.bytes[0] = kMenuBlockInvalid;
    m_currentMenu.fill(-1);
    m_previousMenu.fill(-1);
    m_savedMenu.fill(-1);
}

CPanelHost::~CPanelHost() = default;
