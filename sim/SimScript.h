#pragma once

// The rig driven by text: one scripted step ("unit 2 offline", "unit 1 fault wrong-code 3",
// "fan fail") as a trainer or a test would give it. The answer is "OK" or "ERR reason".

#include <string>
#include <vector>

class SimRig;

// words are the step's words without the leading "sim".
std::string RunSimStep(SimRig& rig, const std::vector<std::string>& words);

// The words the step takes, for a help text.
extern const char* const kSimStepUsage;
