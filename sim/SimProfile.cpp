#include "sim/SimProfile.h"

bool ParseSimProfile(const std::string&, SimProfile*, std::string* error) {
    *error = "being written";
    return false;
}
bool LoadSimProfile(const std::string&, SimProfile*, std::string* error) {
    *error = "being written";
    return false;
}
std::vector<std::string> ShippedProfileNames() {
    return {};
}
SimProfile ShippedProfile(const std::string&) {
    return {};
}
