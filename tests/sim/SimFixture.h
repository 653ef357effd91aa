#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "link/Commands.h"
#include "platform/Clock.h"
#include "sim/SimRig.h"

// A small unit of model 11 that tests can reason about.
SimProfile SmallProfile(uint8_t model = 11);

// A rig with units 1 and 2 (model 11) on line, unit 1 selected, the panel state reset, and a
// virtual clock.
class SimTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    SimUnit& Unit(int n) { return *rig.Unit(n); }

    SimRig rig;
    VirtualClock clock;
};
